// The product key's values in writing order, with every "deleted when empty"
// and "written only when" rule.
#include "uninstall/product_key_values.h"

#include "core/decimal_text.h"
#include "core/text.h"
#include "payload/settings_flags.h"
#include "payload/settings_stream.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

constexpr std::uint32_t kNoColour = 0xFFFFFFFF;

ProductKeyValue MakeValue(std::u16string_view name, ProductValueKind kind) {
    ProductKeyValue value;
    value.name = std::u16string(name);
    value.kind = kind;
    return value;
}

class ValueList {
public:
    void Text(std::u16string_view name, std::u16string_view text) {
        ProductKeyValue value = MakeValue(name, ProductValueKind::Text);
        value.text = std::u16string(text);
        m_values.push_back(std::move(value));
    }
    void TextOrDelete(std::u16string_view name, std::u16string_view text) {
        if (text.empty()) Delete(name);
        else Text(name, text);
    }
    void NarrowTextOrDelete(std::u16string_view name, const std::string& narrow) {
        TextOrDelete(name, DecodeNarrowText(narrow));
    }
    void Dword(std::u16string_view name, std::uint32_t number) {
        ProductKeyValue value = MakeValue(name, ProductValueKind::Dword);
        value.number = number;
        m_values.push_back(std::move(value));
    }
    void Qword(std::u16string_view name, std::uint64_t number) {
        ProductKeyValue value = MakeValue(name, ProductValueKind::Qword);
        value.number = number;
        m_values.push_back(std::move(value));
    }
    void Delete(std::u16string_view name) { m_values.push_back(MakeValue(name, ProductValueKind::Delete)); }
    void Add(ProductKeyValue value) { m_values.push_back(std::move(value)); }
    std::vector<ProductKeyValue> Take() { return std::move(m_values); }

private:
    std::vector<ProductKeyValue> m_values;
};

std::u16string Quoted(std::u16string_view text) { return u"\"" + std::u16string(text) + u"\""; }

void AddCommandValues(ValueList& list, const InstallerSettings& settings, const ProductKeyFacts& facts) {
    std::u16string arguments = UninstallArguments(settings);
    list.Text(u"UninstallString", Quoted(facts.uninstallerPath) + u" " + arguments);
    // "/silent", not "/a": a quiet removal started by a deployment tool must
    // never wait for someone to close a message box that nobody sees.
    list.Text(u"QuietUninstallString", Quoted(facts.uninstallerPath) + u" /silent " + arguments);
}

void AddVersionValues(ValueList& list, std::u16string_view version) {
    std::size_t dot = version.find(u'.');
    if (dot == std::u16string_view::npos) return;
    list.Dword(u"VersionMajor", LeadingNumber(version.substr(0, dot)));
    list.Dword(u"VersionMinor", LeadingNumber(version.substr(dot + 1)));
}

void AddIdentityValues(ValueList& list, const InstallerSettings& settings, const InstallationState& state,
                       const InstallationRecord& record, const ProductKeyFacts& facts) {
    list.Text(u"DisplayName", settings.displayName);
    list.Text(u"InstallSource", facts.installSource);
    list.TextOrDelete(u"Publisher", settings.publisher);
    list.Dword(u"Bitness", settings.bitness);
    list.TextOrDelete(u"DisplayVersion", settings.displayVersion);
    list.NarrowTextOrDelete(u"NoDowngradeBelow", settings.noDowngradeBelow);
    if (!settings.productIcon.empty() && facts.productIconSaved) {
        list.Text(u"DisplayIcon", JoinFolder(state.uninstallDataFolder, u"product.ico"));
    }
    AddVersionValues(list, settings.displayVersion);
    list.TextOrDelete(u"ProductRegistry", settings.productRegistry);
    list.TextOrDelete(u"ProductStartMenu", state.startMenuFolderName);
    list.TextOrDelete(u"SharedPath", state.sharedFolder);
    list.TextOrDelete(u"ProductFonts", record.fontList);
}

void AddUninstallerValues(ValueList& list, const InstallerSettings& settings, std::uint32_t payloadFlags,
                          const InstallationState& state, const InstallationRecord& record,
                          const ProductKeyFacts& facts) {
    std::uint64_t flags = (std::uint64_t(settings.settingsFlags2) << 32) | settings.settingsFlags1;
    list.Text(u"ProductFlags", Widen(std::to_string(flags)));
    list.Text(u"ProductFlags2", Widen(std::to_string(payloadFlags)));
    list.NarrowTextOrDelete(u"UninstallBatch1", settings.uninstallBatch1);
    list.NarrowTextOrDelete(u"UninstallBatch2", settings.uninstallBatch2);
    list.TextOrDelete(u"SharedFiles", record.sharedFilesRecord);
    list.TextOrDelete(u"UninstallSubdir", settings.uninstallSubdir);
    list.TextOrDelete(u"AddToPathSubfolder", settings.addToPathSubfolder);
    list.Dword(u"ShortcutMode", state.allUsers ? 1 : 0);
    list.NarrowTextOrDelete(u"NotifyURL", settings.notifyUrl);
    list.TextOrDelete(u"SupportOffer", settings.supportOffer);
    list.TextOrDelete(u"DesktopFolder", settings.desktopFolder);
    list.Dword(u"UninstallFonts", std::uint32_t(settings.uninstallFonts));
    list.Qword(u"Session", std::uint64_t(facts.session));
    std::uint64_t kib = facts.installedBytes / 1024;
    if (kib == 0 || kib > 0xFFFFFFFFull) list.Delete(u"EstimatedSize");
    else list.Dword(u"EstimatedSize", std::uint32_t(kib));
}

void AddBackgroundValues(ValueList& list, const InstallerSettings& settings) {
    list.Text(u"TaskbarText", settings.taskbarText);
    list.Text(u"DialogFont", settings.dialogFont);
    if (settings.settingsFlags1 & Flags1::kNoBackgroundWindow) return;
    list.Text(u"DisplayTitle", settings.displayTitle);
    list.Dword(u"TitleColor", settings.titleColor);
    list.Text(u"TitleSize", DecimalText(settings.titleSize));
    list.Dword(u"TopColor", settings.topColor);
    // An old bottom colour must not survive a reinstall that no longer uses one.
    list.Delete(u"BottomColor");
    if (settings.bottomColor != kNoColour && !settings.MonoColor()) list.Dword(u"BottomColor", settings.bottomColor);
    list.Dword(u"MonoColor", settings.MonoColor() ? 1 : 0);
    list.Dword(u"TitleShadow", settings.titleShadow);
    list.Dword(u"TitlePosition", settings.titlePosition);
    list.Text(u"TitleFont", settings.titleFont);
    list.Text(u"CopyrightText", settings.copyrightText);
    list.Text(u"CopyrightFont", settings.copyrightFont);
    list.Text(u"CopyrightSize", DecimalText(settings.copyrightSize));
    list.Dword(u"CopyrightColor", settings.copyrightColor);
    list.Dword(u"CopyrightPos", settings.copyrightPos);
}

void AddPictureValues(ValueList& list, const InstallerSettings& settings) {
    bool keep = (settings.settingsFlags1 & Flags1::kKeepBackgroundPicture) && !settings.backgroundPicture.empty();
    if (!keep) {
        list.Delete(u"BitmapSize");
        list.Delete(u"BitmapTPI");
        list.Delete(u"StretchMode");
        return;
    }
    list.Dword(u"BitmapSize", std::uint32_t(settings.bitmapSize));
    // No transparent colour: an old one from an earlier installation must go.
    if (settings.bitmapTpi != -1) list.Dword(u"BitmapTPI", std::uint32_t(settings.bitmapTpi));
    else list.Delete(u"BitmapTPI");
    list.Dword(u"StretchMode", std::uint32_t(settings.stretchMode));
}

}  // namespace

std::u16string ProductKeyPath(const InstallerSettings& settings) {
    return std::u16string(kInstalledProgramsKey) + u"\\" + settings.uninstallEntryName;
}

std::u16string UninstallArguments(const InstallerSettings& settings) {
    return u"/u:\"" + settings.uninstallEntryName + u"\"";
}

std::u16string UninstallerPath(const InstallerSettings& settings, const InstallationState& state) {
    // Without a name the path would be the folder itself, which no file can take.
    const std::u16string& name =
        settings.uninstallerFileName.empty() ? std::u16string(kDefaultUninstallerFileName) : settings.uninstallerFileName;
    return JoinFolder(state.uninstallDataFolder, name);
}

std::u16string InstallDateText(const CalendarTime& date) {
    // YYYYMMDD, each part cut to its width as before.
    auto digits = [](int value, int width) {
        std::u16string text;
        for (int i = 0; i < width; ++i, value /= 10) text.insert(text.begin(), char16_t(u'0' + value % 10));
        return text;
    };
    return digits(date.year % 10000, 4) + digits(date.month % 100, 2) + digits(date.day % 100, 2);
}

std::u16string DecimalText(double value) { return Widen(SixDecimalsText(value)); }

std::uint32_t LeadingNumber(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    std::uint32_t number = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) number = number * 10 + (text[i] - u'0');
    return negative ? 0u - number : number;
}

std::optional<ProductKeyValue> ResolveAuthorValue(const UninstallValue& value, std::u16string expandedText) {
    ProductKeyValue out;
    std::u16string fullName = DecodeNarrowText(value.name);
    out.authorName = fullName;
    switch (value.type) {
        case 1: out.kind = ProductValueKind::Text; out.text = std::move(expandedText); break;
        case 2: out.kind = ProductValueKind::ExpandText; out.text = std::move(expandedText); break;
        case 4: out.kind = ProductValueKind::Dword; out.number = LeadingNumber(expandedText); break;
        default: return std::nullopt;
    }
    std::size_t slash = fullName.rfind(u'\\');
    if (slash == std::u16string::npos) {
        out.name = fullName;
        return out;
    }
    out.name = fullName.substr(slash + 1);
    out.otherKey = ParseRegistryPath(std::u16string_view(fullName).substr(0, slash));
    if (out.otherKey && out.otherKey->root == KeyRoot::AllUsers) out.otherKey.reset();
    out.unknownRoot = !out.otherKey.has_value();
    return out;
}

std::u16string AuthorValueFailureText(std::u16string_view name, std::u16string_view errorText) {
    return u"Failed to save data in registry key \"" + std::u16string(name) + u"\": " + std::u16string(errorText) +
           u"\r\n";
}

ProductKeyPlan PlanProductKeyValues(const InstallerSettings& settings, std::uint32_t payloadFlags,
                                    const InstallationState& state, const InstallationRecord& record,
                                    const ProductKeyFacts& facts, const ExpandText& expand) {
    ProductKeyPlan plan;
    ValueList list;
    AddCommandValues(list, settings, facts);
    AddIdentityValues(list, settings, state, record, facts);
    AddUninstallerValues(list, settings, payloadFlags, state, record, facts);
    AddBackgroundValues(list, settings);
    AddPictureValues(list, settings);
    for (const UninstallValue& value : settings.uninstallValues) {
        std::optional<ProductKeyValue> resolved = ResolveAuthorValue(value, expand(value.value));
        if (!resolved) {
            plan.badAuthorType = value.type;
            return plan;
        }
        list.Add(std::move(*resolved));
    }
    list.Text(u"InstallLocation", state.installFolder);
    list.Text(u"InstallDate", InstallDateText(facts.date));
    plan.values = list.Take();
    return plan;
}

}  // namespace palisade
