// The one table of the settings block's fields, walked by both the reader (stub) and the writer (builder).
#include "payload/settings_schema.h"

#include <iterator>

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/settings_codecs.h"
#include "payload/settings_flags.h"

namespace palisade {

using namespace settings_codecs;
using S = InstallerSettings;

namespace {

constexpr SettingsField With(SettingsField f, SettingsTestFn present) {
    f.present = present;
    return f;
}

constexpr SettingsField Checked(SettingsField f, int code, SettingsTestFn check) {
    f.checkCode = code;
    f.check = check;
    return f;
}

constexpr SettingsField Defaulted(SettingsField f, SettingsDefaultFn applyDefault) {
    f.applyDefault = applyDefault;
    return f;
}

constexpr SettingsField Adjusted(SettingsField f, SettingsAdjustFn adjust) {
    f.adjust = adjust;
    return f;
}

// A field with a layout of its own (settings_codecs.cpp, settings_lists.cpp).
constexpr SettingsField Custom(int row, const char* name, SettingsEncoding encoding, SettingsReadFn read,
                               SettingsWriteFn write, SettingsEqualFn equal, int checkCode = 0,
                               std::int32_t limit = 0) {
    SettingsField f;
    f.row = row;
    f.name = name;
    f.encoding = encoding;
    f.read = read;
    f.write = write;
    f.equal = equal;
    f.checkCode = checkCode;
    f.limit = limit;
    return f;
}

// Presence conditions on values read earlier.
bool HasCopyright(const S& s) { return s.copyrightPos != 0; }
bool HasPageColours(const S& s) { return (s.settingsFlags1 & Flags1::kPageColours) != 0; }
bool HasMasterProduct(const S& s) { return (s.settingsFlags1 & Flags1::kMasterProduct) != 0; }
bool HasExistingInstall(const S& s) { return (s.settingsFlags1 & Flags1::kUninstaller) != 0; }

// Run-time rewrites.
void SilentRewrite(S& s, const SettingsReadOptions& options) {
    if (!options.silent) return;
    s.settingsFlags1 = (s.settingsFlags1 & kSilentFlags1Keep) | kSilentFlags1Set;
    s.settingsFlags2 = (s.settingsFlags2 & ~kSilentFlags2Clear) | kSilentFlags2Set;
}

void ProductNameOverride(S& s, const SettingsReadOptions& options) {
    if (options.productNameOverride) s.displayName = *options.productNameOverride;
}

// Defaults for empty values.
void DefaultToProductName(std::u16string& value, const S& s) {
    if (value.empty()) value = s.displayName;
}
void DefaultDescription(S& s) { DefaultToProductName(s.productDescription, s); }
void DefaultStartMenu(S& s) { DefaultToProductName(s.productStartMenu, s); }
void DefaultUninstallEntry(S& s) { DefaultToProductName(s.uninstallEntryName, s); }
void DefaultSharedPath(S& s) {
    if (s.sharedPath.empty()) s.sharedPath = s.publisher.empty() ? s.displayName : s.publisher;
}
void DefaultDesktopFolder(S& s) {
    if (s.settingsFlags2 & Flags2::kDesktopFolderDefault) DefaultToProductName(s.desktopFolder, s);
}

using W = Compact::Wide;    // user-visible texts, names and paths
using N = Compact::Narrow;  // batch texts and notification addresses
using B = Compact::Bytes;   // sound data

constexpr SettingsField kSchema[] = {
    Field<U32Codec, &S::settingsFlags1>(1, "settingsFlags1"),
    Adjusted(Field<U32Codec, &S::settingsFlags2>(1, "settingsFlags2"), SilentRewrite),
    Field<U8Codec, &S::automaticOverride>(2, "automaticOverride"),
    Field<W, &S::taskbarText>(3, "taskbarText"),
    Field<W, &S::displayTitle>(4, "displayTitle"),
    Field<DoubleCodec, &S::titleSize>(5, "titleSize"),
    Field<U32Codec, &S::progressPosition>(6, "progressPosition"),
    Custom(6, "(settings checksum test)", SettingsEncoding::ChecksumPoint, nullptr, nullptr, nullptr,
           FatalCode::kSettingsChecksum),
    Checked(Field<U16Codec, &S::statusDelay>(7, "statusDelay"), FatalCode::kStatusDelay,
            [](const S& s) { return s.statusDelay <= kMaxStatusDelay; }),
    Field<U8Codec, &S::shortcutMode>(8, "shortcutMode"),
    Custom(9, "fixedSize, reserveSize, shortcutPlacements, installerOptions", SettingsEncoding::Raw,
           ReadFileInstallationRecord, WriteFileInstallationRecord, EqualFileInstallationRecord),
    Field<W, &S::publisher>(10, "publisher"),
    Adjusted(Field<W, &S::displayName>(11, "displayName"), ProductNameOverride),
    Defaulted(Field<W, &S::productDescription>(12, "productDescription"), DefaultDescription),
    Field<U8Codec, &S::bitness>(13, "bitness"),
    Field<U8Codec, &S::folderBaseSelector>(14, "folderBaseSelector"),
    Defaulted(Field<W, &S::sharedPath>(15, "sharedPath"), DefaultSharedPath),
    Field<W, &S::alternativeSharedFolder>(16, "alternativeSharedFolder"),
    Defaulted(Field<W, &S::productStartMenu>(17, "productStartMenu"), DefaultStartMenu),
    Field<W, &S::displayVersion>(18, "displayVersion"),
    Field<W, &S::defaultInstallPath>(19, "defaultInstallPath"),
    Field<W, &S::productRegistry>(20, "productRegistry"),
    Field<Str32::Bytes, &S::desktopFolderIcon>(21, "desktopFolderIcon"),
    Field<W, &S::appPathsProgram>(22, "appPathsProgram"),
    Field<W, &S::uninstallerFileName>(23, "uninstallerFileName"),
    Checked(Field<I32Codec, &S::bitmapSize>(24, "bitmapSize"), FatalCode::kBitmapSize,
            [](const S& s) { return s.bitmapSize >= 0 && s.bitmapSize <= 100; }),
    Field<I32Codec, &S::stretchMode>(25, "stretchMode"),
    Field<I32Codec, &S::uninstallFonts>(26, "uninstallFonts"),
    Field<Str16::Wide, &S::summaryDocument2>(27, "summaryDocument2"),
    CountedListField<&S::licenceTexts>(28, "licenceTexts", FatalCode::kLicenceCount, kMaxDocumentCount),
    CountedListField<&S::readmeTexts>(29, "readmeTexts", FatalCode::kReadmeCount, kMaxDocumentCount),
    Field<W, &S::uninstallSubdir>(30, "uninstallSubdir"),
    Field<Str8::Narrow, &S::linkNotifyAddress>(31, "linkNotifyAddress"),
    Defaulted(Field<W, &S::uninstallEntryName>(32, "uninstallEntryName"), DefaultUninstallEntry),
    Field<Str16::Wide, &S::installLocationValue>(33, "installLocationValue"),
    Field<Str16::Wide, &S::dialogFont>(34, "dialogFont"),
    Field<W, &S::pageText>(35, "pageText"),
    Field<U32Codec, &S::bannerTextColor>(36, "bannerTextColor"),
    Field<U8Codec, &S::pictureFrameMode>(37, "pictureFrameMode"),
    Field<U32Codec, &S::titleColor>(38, "titleColor"),
    Field<U8Codec, &S::titleShadow>(39, "titleShadow"),
    Field<U8Codec, &S::titlePosition>(40, "titlePosition"),
    Field<Str16::Wide, &S::titleFont>(41, "titleFont"),
    Field<U32Codec, &S::topColor>(42, "topColor"),
    Field<U32Codec, &S::bottomColor>(42, "bottomColor"),
    Custom(43, "backgroundPicture, bitmapTpi", SettingsEncoding::Picture, ReadBackgroundPicture,
           WriteBackgroundPicture, EqualBackgroundPicture),
    Field<U8Codec, &S::copyrightPos>(44, "copyrightPos"),
    With(Field<U32Codec, &S::copyrightColor>(45, "copyrightColor"), HasCopyright),
    With(Field<DoubleCodec, &S::copyrightSize>(45, "copyrightSize"), HasCopyright),
    With(Field<W, &S::copyrightText>(45, "copyrightText"), HasCopyright),
    With(Field<W, &S::copyrightFont>(45, "copyrightFont"), HasCopyright),
    With(Field<U32Codec, &S::pageBackgroundColor>(46, "pageBackgroundColor"), HasPageColours),
    With(Field<U32Codec, &S::pageTextColor>(46, "pageTextColor"), HasPageColours),
    With(Field<W, &S::masterUninstallName>(47, "masterUninstallName"), HasMasterProduct),
    With(Field<W, &S::masterDisplayName>(47, "masterDisplayName"), HasMasterProduct),
    With(Field<W, &S::masterMinimumVersion>(47, "masterMinimumVersion"), HasMasterProduct),
    Field<B, &S::startupSound>(48, "startupSound"),
    Defaulted(Field<W, &S::desktopFolder>(49, "desktopFolder"), DefaultDesktopFolder),
    Field<Str32::Bytes, &S::registryMerge>(50, "registryMerge"),
    Field<N, &S::preInstallBatch>(51, "preInstallBatch"),
    Field<N, &S::postInstallBatch>(51, "postInstallBatch"),
    Field<N, &S::installExitBatch>(51, "installExitBatch"),
    Field<N, &S::uninstallBatch1>(52, "uninstallBatch1"),
    Field<N, &S::uninstallBatch2>(52, "uninstallBatch2"),
    Field<N, &S::upgradeBatch>(52, "upgradeBatch"),
    Field<N, &S::reinstallBatch>(52, "reinstallBatch"),
    Custom(53, "minimumSystemVersion", SettingsEncoding::Raw, ReadMinimumSystemVersion, WriteMinimumSystemVersion,
           EqualMinimumSystemVersion),
    Field<U32Codec, &S::excludedSystems>(54, "excludedSystems"),
    Field<U8Codec, &S::archiveInFile>(55, "archiveInFile"),
    Field<N, &S::notifyText1>(56, "notifyText1"),
    Field<N, &S::notifyText2>(56, "notifyText2"),
    Field<N, &S::notifyText3>(56, "notifyText3"),
    Field<N, &S::startNotifyAddress>(56, "startNotifyAddress"),
    Field<N, &S::beginNotifyAddress>(56, "beginNotifyAddress"),
    Field<N, &S::completionNotifyAddress>(56, "completionNotifyAddress"),
    Field<N, &S::notifyText7>(56, "notifyText7"),
    Field<N, &S::notifyText8>(56, "notifyText8"),
    Field<N, &S::notifyText9>(56, "notifyText9"),
    Field<N, &S::notifyUrl>(56, "notifyUrl"),
    Field<N, &S::notifyText11>(56, "notifyText11"),
    Field<N, &S::cancelNotifyAddress>(56, "cancelNotifyAddress"),
    Field<N, &S::errorNotifyAddress>(56, "errorNotifyAddress"),
    Field<NarrowTextCodec, &S::expectedExistingVersion>(57, "expectedExistingVersion"),
    Field<Str8::Narrow, &S::noDowngradeBelow>(58, "noDowngradeBelow"),
    Custom(59, "buildDate", SettingsEncoding::Raw, ReadBuildDate, WriteBuildDate, EqualBuildDate),
    Field<W, &S::installPassword>(60, "installPassword"),
    Field<W, &S::mustUninstallVersion>(61, "mustUninstallVersion"),
    Field<W, &S::greetingLinkAddress>(62, "greetingLinkAddress"),
    Field<W, &S::addToPathSubfolder>(63, "addToPathSubfolder"),
    Field<I32Codec, &S::messageBoxValue1>(64, "messageBoxValue1"),
    Field<I32Codec, &S::messageBoxValue2>(64, "messageBoxValue2"),
    Field<I32Codec, &S::greetingPageVariant>(64, "greetingPageVariant"),
    Field<I32Codec, &S::languagePageVariant>(64, "languagePageVariant"),
    Field<I32Codec, &S::licencePageVariant>(64, "licencePageVariant"),
    Field<I32Codec, &S::readmePageVariant>(64, "readmePageVariant"),
    Field<I32Codec, &S::folderPageVariant>(64, "folderPageVariant"),
    Field<I32Codec, &S::startMenuPageVariant>(64, "startMenuPageVariant"),
    Field<I32Codec, &S::progressPageVariant>(64, "progressPageVariant"),
    Field<I32Codec, &S::summaryPageVariant>(64, "summaryPageVariant"),
    Field<I32Codec, &S::integrityMode>(64, "integrityMode"),
    With(Field<Str32::Bytes, &S::uninstallerIcon>(65, "uninstallerIcon"), HasExistingInstall),
    Custom(66, "fileDeletions", SettingsEncoding::EndWordList, ReadFileDeletions, WriteFileDeletions,
           EqualFileDeletions, FatalCode::kDeletionListLength, kMaxListEntries),
    CountedListField<&S::fileAssociations>(67, "fileAssociations", FatalCode::kAssociationCount,
                                           kMaxListEntries),
    CountedListField<&S::authorShortcuts>(68, "authorShortcuts", FatalCode::kShortcutCount, kMaxListEntries),
    Field<W, &S::launchProgram>(69, "launchProgram"),
    Field<W, &S::summaryDocument>(69, "summaryDocument"),
    Field<WideTextCodec, &S::firewallRules>(69, "firewallRules"),
    Field<WideTextCodec, &S::registryEntries>(69, "registryEntries"),
    CountedListField<&S::uninstallValues>(70, "uninstallValues", FatalCode::kUninstallValueCount,
                                          kMaxListEntries),
    Field<Str16::Wide, &S::supportOffer>(71, "supportOffer"),
    Field<Str32::Bytes, &S::productIcon>(72, "productIcon"),
    Custom(73, "autoCloseEntries", SettingsEncoding::EndWordList, ReadAutoCloseEntries, WriteAutoCloseEntries,
           EqualAutoCloseEntries, FatalCode::kAutoCloseListLength, kMaxListEntries),
    Custom(74, "messageCatalogue", SettingsEncoding::Catalogue, ReadCatalogue, WriteCatalogue, EqualCatalogue,
           FatalCode::kLanguageCount),
    Custom(75, "(end marker)", SettingsEncoding::EndMarker, ReadEndMarker, WriteEndMarker, nullptr,
           FatalCode::kEndMarker),
};

}  // namespace

const std::vector<SettingsField>& SettingsSchema() {
    static const std::vector<SettingsField> schema(std::begin(kSchema), std::end(kSchema));
    return schema;
}

SettingsResult ReadSettings(const std::vector<std::uint8_t>& decompressedBlock, std::uint32_t settingsChecksum) {
    return ReadSettings(decompressedBlock, settingsChecksum, SettingsReadOptions{});
}

SettingsResult ReadSettings(const std::vector<std::uint8_t>& decompressedBlock, std::uint32_t settingsChecksum,
                            const SettingsReadOptions& options) {
    InstallerSettings settings;
    SettingsReader reader(decompressedBlock);
    for (const SettingsField& field : SettingsSchema()) {
        if (field.encoding == SettingsEncoding::ChecksumPoint) {
            if (options.beforeChecksum) options.beforeChecksum(settings);
            if (Crc32(decompressedBlock.data(), decompressedBlock.size()) != settingsChecksum) {
                return {std::nullopt, field.checkCode};
            }
            continue;
        }
        if (field.present && !field.present(settings)) continue;
        if (int code = field.read(reader, settings, field)) return {std::nullopt, code};
        if (field.adjust) field.adjust(settings, options);
        if (field.check && !field.check(settings)) return {std::nullopt, field.checkCode};
        if (field.applyDefault) field.applyDefault(settings);
    }
    return {std::move(settings), 0};
}

SettingsWriteResult WriteSettingsChecked(const InstallerSettings& settings) {
    SettingsWriter writer;
    for (const SettingsField& field : SettingsSchema()) {
        if (!field.write) continue;
        if (field.present && !field.present(settings)) continue;
        writer.SetField(field.name);
        if (field.check && !field.check(settings)) {
            writer.Problem("fails the check of code " + std::to_string(field.checkCode));
        }
        field.write(writer, settings, field);
    }
    SettingsWriteResult result;
    result.problems = writer.Problems();
    result.block = writer.TakeBytes();
    return result;
}

std::vector<std::uint8_t> WriteSettings(const InstallerSettings& settings) {
    return WriteSettingsChecked(settings).block;
}

bool operator==(const InstallerSettings& a, const InstallerSettings& b) {
    for (const SettingsField& field : SettingsSchema()) {
        if (field.equal && !field.equal(a, b)) return false;
    }
    return true;
}

}  // namespace palisade
