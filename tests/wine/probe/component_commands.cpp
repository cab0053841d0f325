// Probe commands for the component tests: what MSI knows about a product,
// its removal, and whether the session's font table knows a family.
#include <windows.h>

#include <string>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

using QueryProductStateFunction = int(WINAPI*)(const wchar_t* productCode);
using ConfigureProductFunction = UINT(WINAPI*)(const wchar_t* productCode, int installLevel, int installState);
using SetInternalUiFunction = int(WINAPI*)(int level, HWND* owner);

template <typename Function>
Function MsiFunction(const char* name) {
    static HMODULE msi = ::LoadLibraryW(L"msi.dll");
    return msi ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(msi, name))) : nullptr;
}

// `msi-state CODE`: prints MsiQueryProductStateW's answer (5 installed, -1 unknown).
int MsiState(const std::vector<std::string>& args, std::string& out) {
    auto query = MsiFunction<QueryProductStateFunction>("MsiQueryProductStateW");
    if (!query || args.empty()) return 2;
    out = std::to_string(query(ToWide(Utf8ToUtf16(args[0])).c_str())) + "\n";
    return 0;
}

// `msi-remove CODE`: removes the product without any interface; prints the result.
int MsiRemove(const std::vector<std::string>& args, std::string& out) {
    auto setUi = MsiFunction<SetInternalUiFunction>("MsiSetInternalUI");
    auto configure = MsiFunction<ConfigureProductFunction>("MsiConfigureProductW");
    if (!setUi || !configure || args.empty()) return 2;
    setUi(2, nullptr);                      // INSTALLUILEVEL_NONE
    constexpr int kDefaultLevel = 0;        // INSTALLLEVEL_DEFAULT
    constexpr int kAbsent = 2;              // INSTALLSTATE_ABSENT
    out = std::to_string(configure(ToWide(Utf8ToUtf16(args[0])).c_str(), kDefaultLevel, kAbsent)) + "\n";
    return 0;
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// `font-family NAME`: prints "present" or "absent" for the session's font table,
// which a new process fills from the system's list of installed fonts.
int FontFamily(const std::vector<std::string>& args, std::string& out) {
    if (args.empty()) return 2;
    HDC screen = ::GetDC(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wstring family = ToWide(Utf8ToUtf16(args[0]));
    lstrcpynW(wanted.lfFaceName, family.c_str(), LF_FACESIZE);
    bool found = false;
    ::EnumFontFamiliesExW(screen, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, screen);
    out = found ? "present\n" : "absent\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("msi-state", MsiState);
PALISADE_PROBE_COMMAND("msi-remove", MsiRemove);
PALISADE_PROBE_COMMAND("font-family", FontFamily);

}  // namespace palisade::probe
