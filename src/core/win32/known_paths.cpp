// The paths every part of the program asks the system for.
#include "core/win32/known_paths.h"

#include <windows.h>

#include "core/win32/sized_text.h"

namespace palisade {

std::u16string OwnModulePath() {
    // GetModuleFileNameW returns the buffer's size (not the size needed) when
    // it cuts the path, which QuerySizedText takes as "grow and retry".
    return QuerySizedText([](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
}

std::u16string SystemFolderPath() {
    return QuerySizedText([](wchar_t* buffer, DWORD size) { return DWORD(::GetSystemDirectoryW(buffer, size)); });
}

std::u16string SystemFilePath(std::u16string_view fileName) {
    std::u16string folder = SystemFolderPath();
    if (folder.empty()) return {};
    if (folder.back() != u'\\') folder += u'\\';
    return folder + std::u16string(fileName);
}

std::u16string TempFolderPath() {
    return QuerySizedText([](wchar_t* buffer, DWORD size) { return ::GetTempPathW(size, buffer); });
}

std::u16string WindowsFolderPath() {
    std::u16string folder = QuerySizedText(
        [](wchar_t* buffer, DWORD size) { return DWORD(::GetSystemWindowsDirectoryW(buffer, size)); });
    while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    return folder;
}

}  // namespace palisade
