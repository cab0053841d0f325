// The wininit.ini form of the move-at-restart request.
#include "actions/win32/wininit_rename_win32.h"

#include <windows.h>

#include "actions/file_destination.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

std::string AnsiPath(std::u16string_view path) {
    if (path.empty()) return {};
    std::wstring wide = ToWide(path);
    int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, "?", nullptr);
    std::string narrow(std::size_t(length > 0 ? length : 0), '\0');
    if (length > 0) ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &narrow[0], length, "?", nullptr);
    return narrow;
}

bool ReadWhole(const std::wstring& path, std::string& content) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x1000000) return false;
    content.resize(std::size_t(size.QuadPart));
    DWORD got = 0;
    return content.empty() || (::ReadFile(file.get(), &content[0], DWORD(content.size()), &got, nullptr) &&
                               got == content.size());
}

bool WriteWhole(const std::wstring& path, const std::string& content) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), content.data(), DWORD(content.size()), &written, nullptr) &&
           written == content.size();
}

// Where "[rename]" stands as a line of its own (case ignored); npos when absent.
std::size_t RenameHeaderEnd(const std::string& content) {
    static const std::string kHeader = "[rename]";
    for (std::size_t line = 0; line < content.size();) {
        std::size_t end = content.find_first_of("\r\n", line);
        if (end == std::string::npos) end = content.size();
        if (end - line == kHeader.size() &&
            ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, content.data() + line, int(kHeader.size()),
                             kHeader.data(), int(kHeader.size())) == CSTR_EQUAL) {
            return end;
        }
        line = content.find('\n', end);
        line = line == std::string::npos ? content.size() : line + 1;
    }
    return std::string::npos;
}

}  // namespace

std::u16string WindowsFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    return length != 0 && length <= MAX_PATH ? FromWide(std::wstring_view(buffer, length)) : u"C:\\Windows";
}

bool ScheduleInWininit(std::u16string_view source, std::u16string_view destination) {
    std::wstring path = ToWide(JoinPath(WindowsFolder(), u"wininit.ini"));
    std::string content;
    if (!ReadWhole(path, content)) return false;
    std::string line = AnsiPath(destination) + "=" + AnsiPath(source);
    std::size_t header = RenameHeaderEnd(content);
    if (header != std::string::npos) {
        content.insert(header, "\r\n" + line);
    } else {
        content += "[rename]\r\n" + line;
    }
    return WriteWhole(path, content);
}

}  // namespace palisade
