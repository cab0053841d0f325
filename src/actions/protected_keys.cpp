// The keys no record may delete whole.
#include "actions/protected_keys.h"

#include <initializer_list>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace palisade {
namespace {

using Parts = std::vector<std::u16string_view>;

Parts SplitKey(std::u16string_view subKey) {
    Parts parts;
    while (!subKey.empty()) {
        std::size_t slash = subKey.find(u'\\');
        parts.push_back(subKey.substr(0, slash));
        if (slash == std::u16string_view::npos) break;
        subKey.remove_prefix(slash + 1);
    }
    return parts;
}

bool IsOneOf(std::u16string_view name, std::initializer_list<std::u16string_view> names) {
    for (std::u16string_view candidate : names) {
        if (EqualsIgnoreCase(name, candidate)) return true;
    }
    return false;
}

Parts Rest(const Parts& parts, std::size_t from) {
    return from >= parts.size() ? Parts() : Parts(parts.begin() + std::ptrdiff_t(from), parts.end());
}

// Below a class key every program shares, a key of one's own lies at
// least this deep ("Directory\shell\AcmeHere", "*\shellex\ContextMenuHandlers\Acme");
// the system's own verbs stay.
bool SharedClassKeyIsOurs(const Parts& parts) {
    if (parts.size() >= 4) return true;
    return parts.size() == 3 && EqualsIgnoreCase(parts[1], u"shell") &&
           !IsOneOf(parts[2], {u"open", u"runas", u"print", u"printto", u"edit", u"explore", u"find", u"opennew"});
}

// Keys below HKEY_CLASSES_ROOT (or a hive's Software\Classes).
bool IsProtectedClassKey(const Parts& parts) {
    if (parts.empty()) return true;
    std::u16string_view first = parts[0];
    if (IsOneOf(first, {u"CLSID", u"Interface", u"TypeLib", u"AppID", u"Applications"})) return parts.size() < 2;
    if (IsOneOf(first, {u"Installer", u"Local Settings", u"Wow6432Node"})) return true;
    if (IsOneOf(first, {u"*", u"Directory", u"Drive", u"Folder", u"AllFilesystemObjects", u"SystemFileAssociations",
                        u"MIME", u"DesktopBackground", u"Network", u"Printers", u"Unknown", u"exefile", u"batfile",
                        u"cmdfile", u"comfile", u"dllfile", u"lnkfile", u"txtfile", u"regfile", u"inifile", u"inffile",
                        u"htmlfile", u"VBSFile", u"JSFile", u"Msi.Package", u"http", u"https", u"ftp", u"mailto",
                        u"file"})) {
        return !SharedClassKeyIsOurs(parts);
    }
    if (IsOneOf(first, {u".exe", u".bat", u".cmd", u".com", u".lnk", u".txt", u".reg", u".dll", u".msi", u".scr",
                        u".pif", u".vbs", u".js", u".ini", u".inf", u".sys", u".htm", u".html", u".url"})) {
        return parts.size() < 3;
    }
    return false;
}

// Keys below Software\Microsoft: Windows' own need two levels of their
// own below CurrentVersion's keys; other branches two below their name.
bool IsProtectedMicrosoftKey(const Parts& parts) {
    if (parts.size() < 2) return true;
    if (IsOneOf(parts[1], {u"Windows", u"Windows NT"})) {
        bool deeper = parts.size() >= 4 && IsOneOf(parts[3], {u"Explorer", u"Policies"});
        return parts.size() < (deeper ? 6u : 5u);
    }
    if (IsOneOf(parts[1], {u"Office", u"Internet Explorer", u"Cryptography", u".NETFramework"})) return parts.size() < 5;
    return parts.size() < 4;
}

// Keys below a hive's Software branch (`parts` starts below "Software").
bool IsProtectedSoftwareKey(Parts parts) {
    if (!parts.empty() && EqualsIgnoreCase(parts[0], u"Wow6432Node")) parts = Rest(parts, 1);
    if (parts.empty()) return true;
    std::u16string_view vendor = parts[0];
    if (EqualsIgnoreCase(vendor, u"Classes")) return IsProtectedClassKey(Rest(parts, 1));
    if (EqualsIgnoreCase(vendor, u"Microsoft")) return IsProtectedMicrosoftKey(parts);
    if (EqualsIgnoreCase(vendor, u"Policies")) {
        return parts.size() < 2 || (EqualsIgnoreCase(parts[1], u"Microsoft") && parts.size() < 4);
    }
    if (IsOneOf(vendor, {u"Clients", u"ODBC"})) return parts.size() < 3;
    return IsOneOf(vendor, {u"RegisteredApplications", u"Wine"});
}

// HKLM\SYSTEM: only a service's own key ("...\Services\AcmeSvc") or an
// event source ("...\Services\EventLog\Application\Acme").
bool IsProtectedSystemKey(const Parts& parts) {
    if (parts.size() < 3 || !EqualsIgnoreCase(parts[1], u"Services")) return true;
    bool controlSet = EqualsIgnoreCase(parts[0], u"CurrentControlSet") ||
                      (parts[0].size() == 13 && EqualsIgnoreCase(parts[0].substr(0, 10), u"ControlSet"));
    if (!controlSet) return true;
    return EqualsIgnoreCase(parts[2], u"EventLog") && parts.size() < 5;
}

// A user's hive: Software, and the few places a program keeps its own key
// outside it (its sound events, its console window).
bool IsProtectedUserKey(const Parts& parts) {
    if (parts.empty()) return true;
    if (EqualsIgnoreCase(parts[0], u"Software")) return IsProtectedSoftwareKey(Rest(parts, 1));
    if (EqualsIgnoreCase(parts[0], u"Console")) return parts.size() < 2;
    if (EqualsIgnoreCase(parts[0], u"AppEvents")) {
        return parts.size() < 4 || !EqualsIgnoreCase(parts[1], u"Schemes") || !EqualsIgnoreCase(parts[2], u"Apps");
    }
    return true;
}

}  // namespace

bool IsProtectedKey(const RegistryPath& key) {
    Parts parts = SplitKey(key.subKey);
    for (std::u16string_view part : parts) {
        if (part.empty() || part == u"." || part == u"..") return true;
    }
    switch (key.root) {
        case KeyRoot::ClassesRoot: return IsProtectedClassKey(parts);
        case KeyRoot::CurrentUser:
        case KeyRoot::AllUsers: return IsProtectedUserKey(parts);
        case KeyRoot::Users: {
            if (parts.empty()) return true;
            std::u16string_view hive = parts[0];
            constexpr std::u16string_view kClasses = u"_Classes";
            bool classes = hive.size() > kClasses.size() &&
                           EqualsIgnoreCase(hive.substr(hive.size() - kClasses.size()), kClasses);
            return classes ? IsProtectedClassKey(Rest(parts, 1)) : IsProtectedUserKey(Rest(parts, 1));
        }
        case KeyRoot::LocalMachine:
            if (parts.empty()) return true;
            if (EqualsIgnoreCase(parts[0], u"Software")) return IsProtectedSoftwareKey(Rest(parts, 1));
            if (EqualsIgnoreCase(parts[0], u"SYSTEM")) return IsProtectedSystemKey(Rest(parts, 1));
            return true;
        case KeyRoot::CurrentConfig:
        case KeyRoot::DynData: return true;
    }
    return true;
}

}  // namespace palisade
