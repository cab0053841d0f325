// Composes delunins.bat.
#include "uninstall/self_removal_script.h"

#include "core/format.h"
#include "variables/batch_text.h"

namespace palisade {
namespace {

std::u16string_view TrimBackslashes(std::u16string_view text) {
    while (!text.empty() && text.front() == u'\\') text.remove_prefix(1);
    while (!text.empty() && text.back() == u'\\') text.remove_suffix(1);
    return text;
}

std::u16string Join(std::u16string_view folder, std::u16string_view sub) {
    std::u16string joined(folder);
    while (!joined.empty() && joined.back() == u'\\') joined.pop_back();
    return joined + u"\\" + std::u16string(sub);
}

}  // namespace

std::u16string SelfRemovalScriptText(const SelfRemovalPaths& paths) {
    std::u16string text;
    if (paths.removeUninstaller) {
        text += Format(u"set /a tries=0\r\n:Repeat\r\ndel \"%s\"\r\nif not exist \"%s\" goto Removed\r\n",
                       {paths.uninstaller, paths.uninstaller});
        text += Format(u"set /a tries+=1\r\nif %%tries%% GEQ %d goto Removed\r\nCHOICE /T 1 /D Y >nul\r\n"
                       u"goto Repeat\r\n:Removed\r\n",
                       {kSelfRemovalTries});
    }
    text += u"CHOICE /T 3 /D Y\r\n";
    std::u16string_view sub = TrimBackslashes(paths.uninstallSubdir);
    for (int level = 0; !sub.empty() && level < kMaxSelfRemovalLevels; ++level) {
        text += Format(u"rd \"%s\"\r\n", {Join(paths.installFolder, sub)});
        std::size_t slash = sub.rfind(u'\\');
        sub = slash == std::u16string_view::npos ? std::u16string_view() : TrimBackslashes(sub.substr(0, slash));
    }
    text += Format(u"rd \"%s\"\r\n", {paths.installFolder});
    for (const std::u16string& parent : paths.parentFolders) text += Format(u"rd \"%s\"\r\n", {parent});
    text += Format(u"del \"%s\"\r\n", {paths.script});
    std::size_t slash = paths.script.rfind(u'\\');
    if (slash != std::u16string::npos) text += Format(u"rd \"%s\"\r\n", {paths.script.substr(0, slash)});
    return text;
}

std::string SelfRemovalScriptBytes(const SelfRemovalPaths& paths, bool utf8Allowed) {
    return EncodeBatchFile(SelfRemovalScriptText(paths), utf8Allowed);
}

}  // namespace palisade
