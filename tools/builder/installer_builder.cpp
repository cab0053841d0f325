// Turns a parsed project into an installer image: resolves and reads the files, builds the catalogue, encodes.
#include "builder/installer_builder.h"

#include "builder/item_order.h"

#include "builder/pe_resources.h"

#include <chrono>
#include <thread>

#include "builder/pe_resources.h"
#include "builder/sign_command.h"
#include "builder/signed_uninstaller.h"
#include "builder/source_glob.h"
#include "builder/time_stamps.h"
#include "common/destination_checks.h"
#include "common/file_reading.h"
#include "common/setting_keys.h"
#include "core/text.h"
#include "payload/archive.h"
#include "payload/installer_image.h"
#include "payload/settings_flags.h"

namespace palisade::tools {

namespace {

// Where the item goes below its kind's folder: the entry's destination, the
// file's folder below the source, and the entry's new name. A folder path ends
// in a backslash so that the installer appends the file's own name.
std::string DestinationOverride(const FileSpec& fileSpec, const SourceFile& file) {
    std::string folder = fileSpec.destination;
    std::string sub = file.relativeFolder;
    std::replace(sub.begin(), sub.end(), '/', '\\');
    if (!sub.empty()) folder += (folder.empty() ? "" : "\\") + sub;
    if (folder.empty()) return fileSpec.name;
    return folder + "\\" + fileSpec.name;
}

std::string FileStem(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The time the project gives, else the source file's (no later than SOURCE_DATE_EPOCH when set).
FileTimeStamp ItemTimeStamp(const Project& project, const FileSpec& fileSpec, const SourceFile& file) {
    if (fileSpec.timeStamp) return *fileSpec.timeStamp;
    std::optional<FileTimeStamp> stamp = ModificationTimeUtc(file.path);
    if (!stamp) return NoTimeStamp();
    return project.sourceDateEpoch ? ClampTimeStamp(*stamp, *project.sourceDateEpoch) : *stamp;
}

std::optional<PayloadItem> MakeItem(const Project& project, const FileSpec& fileSpec, const SourceFile& file,
                                    std::vector<std::uint8_t> data, Diagnostics& diagnostics) {
    PayloadItem item;
    item.name = NarrowPathText(file.fileName);
    item.kind = fileSpec.kind;
    item.flags = fileSpec.flags;
    item.attributes = fileSpec.attributes;
    item.timeStamp = ItemTimeStamp(project, fileSpec, file);
    item.info = fileSpec.info;
    // System and newer-only files are compared by version when they have one:
    // the version their own resource gives, unless the project names another.
    bool versionChecked = item.kind == EntryKind::NewerOnlyFile || item.kind == EntryKind::SystemFile ||
                          item.kind == EntryKind::SystemComServer || item.kind == EntryKind::SystemTypeLibrary;
    if (versionChecked && item.info.empty()) {
        item.info = ReadFileVersionText(ByteView(data)).value_or("");
    }
    if (item.flags & EntryFlags::kShortcutMask) {
        item.shortcutName = Utf8ToUtf16(fileSpec.shortcutName.empty() ? FileStem(fileSpec.name.empty() ? file.fileName : fileSpec.name)
                                                                   : fileSpec.shortcutName);
    }
    std::optional<std::string> arguments = Utf8ToWindows1252(fileSpec.arguments);
    if (!arguments) {
        diagnostics.Error(fileSpec.place, "'arguments' must be text that Windows-1252 can hold");
        return std::nullopt;
    }
    item.arguments = *arguments;
    item.destinationOverride = Utf8ToUtf16(DestinationOverride(fileSpec, file));
    item.extra = NarrowPathText(fileSpec.extra);
    item.msiUiLevel = fileSpec.msiUiLevel;
    std::u16string destination = EffectiveDestination(item.destinationOverride, Utf8ToUtf16(file.fileName));
    std::vector<std::string> unusual;
    if (!fileSpec.unusualDestination) unusual = UnusualDestination(destination);
    for (const std::string& reason : unusual) {
        diagnostics.Error(fileSpec.place, "the destination '" + Utf16ToUtf8(destination) + "' of " +
                                              file.path.string() + " " + reason +
                                              "; give unusual_destination = true if that is meant");
    }
    if (!unusual.empty()) return std::nullopt;
    item.data = std::move(data);
    std::string problem = ValidatePayloadItem(item);
    if (!problem.empty()) {
        diagnostics.Error(fileSpec.place, file.path.string() + ": " + problem);
        return std::nullopt;
    }
    return item;
}

// FNV-1a, 64 bits: enough to spread the content over the key's bytes.
class ContentHash {
public:
    void Add(const std::uint8_t* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) m_state = (m_state ^ bytes[i]) * 0x100000001b3ull;
    }
    std::uint64_t Value() const { return m_state; }

private:
    std::uint64_t m_state = 0xcbf29ce484222325ull;
};

// The key to encipher with: the project's, else one from the content when the
// build is to be reproducible, else a random one.
std::optional<CipherKey> ChooseCipherKey(const Project& project, const InstallerSettings& settings,
                                         const ItemStream& stream, bool& derived) {
    derived = false;
    if (project.build.cipherKey) return project.build.cipherKey;
    if (!project.sourceDateEpoch) return RandomCipherKey();
    derived = true;
    return ContentCipherKey(WriteSettings(settings), stream);
}

}  // namespace

CipherKey ContentCipherKey(const std::vector<std::uint8_t>& settingsBlock, const ItemStream& stream) {
    ContentHash hash;
    hash.Add(settingsBlock.data(), settingsBlock.size());
    std::vector<std::uint8_t> piece;
    constexpr std::size_t kPiece = 1u << 20;
    for (std::size_t offset = 0; offset < stream.Length(); offset += kPiece) {
        stream.CopyRange(offset, std::min(kPiece, stream.Length() - offset), piece);
        hash.Add(piece.data(), piece.size());
    }
    CipherKey key{};
    std::uint64_t value = hash.Value();
    for (std::uint8_t& byte : key) {
        byte = std::uint8_t(value);
        value >>= 8;
    }
    return key;
}

std::optional<std::vector<PayloadItem>> CollectItems(const Project& project, Progress& progress,
                                                     Diagnostics& diagnostics) {
    std::vector<std::pair<const FileSpec*, const SourceFile*>> files;
    std::size_t errorsBefore = diagnostics.List().size();
    for (const FileSpec& fileSpec : project.files) {
        for (const SourceFile& file : fileSpec.sources) files.emplace_back(&fileSpec, &file);
    }

    std::vector<PayloadItem> items;
    std::uint64_t bytesRead = 0;
    for (auto& [fileSpec, file] : files) {
        // The size is checked before a byte is read: a huge file is refused at once.
        FileBytes data = ReadFileBytes(file->path, std::uint64_t(kMaxItemSize), "an item holds at most 1 GiB");
        if (!data.Ok()) {
            diagnostics.Error(fileSpec->place, data.error);
            continue;
        }
        bytesRead += data.bytes.size();
        if (auto item = MakeItem(project, *fileSpec, *file, std::move(data.bytes), diagnostics)) {
            items.push_back(std::move(*item));
        }
        progress.Update("reading files: " + std::to_string(items.size()) + "/" + std::to_string(files.size()) + ", " +
                        ByteCount(bytesRead));
    }
    if (diagnostics.List().size() != errorsBefore) return std::nullopt;
    progress.Finish("read " + std::to_string(items.size()) + " files, " + ByteCount(bytesRead));
    return items;
}

InstallerSettings FinalSettings(const Project& project, const MessageCatalogue& catalogue) {
    InstallerSettings settings = project.settings;
    settings.messageCatalogue = catalogue;
    if (project.build.compress) {
        settings.settingsFlags1 |= Flags1::kCompressedChunks;
    } else {
        settings.settingsFlags1 &= ~Flags1::kCompressedChunks;
    }
    return settings;
}

PayloadOptions MakePayloadOptions(const Project& project, const CipherKey& key, std::size_t streamLength) {
    PayloadOptions options;
    options.payloadFlags = project.payloadFlags | (project.build.cipher ? PayloadFlags::kCiphered : 0);
    options.payloadKey = key;
    options.chunkSize = project.build.chunkSize.value_or(AutomaticChunkSize(streamLength, project.build.cipher));
    options.xzPreset = XzPresetWord(project.build.xzPreset, project.build.xzExtreme);
    options.tryBranchFilter = project.build.best;
    options.threadCount = project.build.jobs;
    return options;
}

std::optional<BuildSummary> BuildInstaller(const Project& project, const std::vector<std::uint8_t>& givenStub,
                                           Progress& progress, Diagnostics& diagnostics) {
    auto start = std::chrono::steady_clock::now();
    // The author's crash-report values go into the stub's record before
    // anything is made from it (the uninstaller image included).
    std::vector<std::uint8_t> stub = givenStub;
    const VendorValues& vendor = project.crashReport;
    if (!vendor.shortName.empty() || !vendor.senderAddress.empty() || !vendor.privateHeader.empty() ||
        !vendor.reportEndpoint.empty()) {
        if (std::string error = PutVendorRecord(stub, vendor); !error.empty()) {
            diagnostics.Error({project.file}, error);
            return std::nullopt;
        }
    }
    std::optional<std::vector<PayloadItem>> items = CollectItems(project, progress, diagnostics);
    if (!items) return std::nullopt;
    OrderItemsForCompression(*items);

    CatalogueBuild catalogue = BuildCatalogue(project.languages);
    for (const std::string& warning : catalogue.warnings) progress.Warning(warning);

    BuildSummary summary;
    InstallerSettings settings = FinalSettings(project, catalogue.catalogue);
    ItemStream stream(*items);
    CipherKey key{};
    if (project.build.cipher) {
        std::optional<CipherKey> chosen = ChooseCipherKey(project, settings, stream, summary.keyFromContent);
        if (!chosen) {
            diagnostics.Error({project.file}, "cannot read random bytes for the cipher key");
            return std::nullopt;
        }
        key = *chosen;
        summary.key = key;
    }
    PayloadOptions options = MakePayloadOptions(project, key, stream.Length());
    summary.itemCount = items->size();
    summary.streamBytes = stream.Length();
    summary.chunkCount = SplitItemStream(stream.Length(), stream.LengthFieldOffsets(), options.chunkSize).size();
    for (const PayloadItem& item : *items) summary.dataBytes += item.data.size();

    bool signing = !project.build.sign.command.empty();
    if (!signing && settings.integrityMode == 2) {
        progress.Warning("IntegrityMode 2: the installer stops with error code 1001 unless it is signed after "
                         "building (give --sign or 'sign' in [build])");
    }
    std::vector<std::uint8_t> uninstaller;
    if (signing && WritesStrippedUninstaller(settings, options.payloadFlags)) {
        auto signedUninstaller = MakeSignedUninstaller(stub, settings, project.build.sign, progress, diagnostics);
        if (!signedUninstaller) return std::nullopt;
        uninstaller = std::move(*signedUninstaller);
    }

    unsigned threads = options.threadCount != 0 ? options.threadCount : std::max(1u, std::thread::hardware_concurrency());
    progress.StartTicker((project.build.compress ? "compressing " : "storing ") + ByteCount(summary.streamBytes) +
                         " in " + std::to_string(summary.chunkCount) + " chunk(s) on " + std::to_string(threads) +
                         " thread(s) ...");
    InstallerBuild build = BuildInstallerImage(stub, settings, *items, options, uninstaller);
    progress.StopTicker();
    if (!build.error.empty()) {
        diagnostics.Error({project.file}, build.error);
        return std::nullopt;
    }
    for (const std::string& note : build.notes) progress.Warning(note);
    summary.image = std::move(build.image);
    if (signing) {
        auto signedImage = SignImage(summary.image, "setup.exe", project.build.sign, progress, diagnostics);
        if (!signedImage) return std::nullopt;
        summary.image = std::move(*signedImage);
    }
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return summary;
}

}  // namespace palisade::tools
