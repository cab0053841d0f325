// Probe command for the uninstaller icon: what a program file's first icon
// group holds and what its small picture shows.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

BOOL CALLBACK TakeFirstGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}

// The colour of the middle pixel of an icon, as RRGGBB.
std::string MiddlePixel(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return "none";
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = 16;
    format.bmiHeader.biHeight = 16;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    DWORD pixels[16 * 16] = {};
    HDC screen = ::GetDC(nullptr);
    int lines = ::GetDIBits(screen, info.hbmColor, 0, 16, pixels, &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    if (lines == 0) return "none";
    char text[16];
    std::snprintf(text, sizeof(text), "%06lx", static_cast<unsigned long>(pixels[8 * 16 + 8] & 0xFFFFFF));
    return text;
}

// `icon-info PATH`: prints "images N pixel RRGGBB" for the file's first icon
// group (N pictures; the 16x16 picture's middle pixel), "no icon" without one.
int IconInfo(const std::vector<std::string>& args, std::string& out) {
    if (args.empty()) return 2;
    HMODULE module = ::LoadLibraryExW(ToWide(Utf8ToUtf16(args[0])).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 3;
    LPWSTR group = nullptr;
    ::EnumResourceNamesW(module, RT_GROUP_ICON, TakeFirstGroup, reinterpret_cast<LONG_PTR>(&group));
    HRSRC found = group ? ::FindResourceW(module, group, RT_GROUP_ICON) : nullptr;
    if (!found) {
        out = "no icon\n";
        ::FreeLibrary(module);
        return 0;
    }
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(module, found)));
    int count = directory[4] | (directory[5] << 8);
    int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, 16, 16, LR_DEFAULTCOLOR);
    HRSRC picture = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    std::string pixel = "none";
    if (picture) {
        HICON icon = ::CreateIconFromResourceEx(static_cast<BYTE*>(::LockResource(::LoadResource(module, picture))),
                                                ::SizeofResource(module, picture), TRUE, 0x00030000, 16, 16,
                                                LR_DEFAULTCOLOR);
        if (icon) {
            pixel = MiddlePixel(icon);
            ::DestroyIcon(icon);
        }
    }
    ::FreeLibrary(module);
    out = "images " + std::to_string(count) + " pixel " + pixel + "\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("icon-info", IconInfo);

}  // namespace palisade::probe
