// Files and folders as the program asks about them.
#include "core/win32/file_system.h"

#include <windows.h>

#include <vector>

#include "core/folder_levels.h"
#include "core/win32/sized_text.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {

bool FileExists(std::u16string_view path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(std::u16string_view path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ClearProtectiveAttributes(std::u16string_view path) {
    constexpr DWORD kProtective = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    std::wstring widePath = ToWide(path);
    DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kProtective) == 0) return;
    DWORD cleared = attributes & ~kProtective;
    ::SetFileAttributesW(widePath.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL);
}

bool ReachesThroughReparsePoint(std::u16string_view path, std::u16string_view folder) {
    for (const std::u16string& level : LevelsBelow(path, folder)) {
        DWORD attributes = ::GetFileAttributesW(ToWide(level).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) break;  // nothing further down exists yet
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
    }
    return false;
}

Win32Status CreateFolderPath(std::u16string_view folder, std::vector<std::u16string>* created) {
    while (folder.size() > 3 && folder.back() == u'\\') folder.remove_suffix(1);
    if (folder.empty()) return Win32Status(ERROR_DIRECTORY);
    if (FolderExists(folder)) return {};
    // The missing folders, innermost first; a drive root is never made.
    std::vector<std::u16string_view> missing = {folder};
    for (std::u16string_view parent = folder;;) {
        std::size_t slash = parent.rfind(u'\\');
        if (slash == std::u16string_view::npos) break;
        parent = parent.substr(0, slash);
        if (parent.size() < 4 || parent.find_first_not_of(u'\\') == std::u16string_view::npos) break;
        if (FolderExists(parent)) break;
        missing.push_back(parent);
    }
    Win32Status failure;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!::CreateDirectoryW(ToWide(*it).c_str(), nullptr)) {
            failure = Win32Status::FromLastError();
        } else if (created != nullptr) {
            created->emplace_back(*it);
        }
    }
    if (FolderExists(folder)) return {};
    return failure.failed() ? failure : Win32Status(ERROR_PATH_NOT_FOUND);
}

std::u16string FullPathOf(std::u16string_view path) {
    std::wstring widePath = ToWide(path);
    std::u16string full = QuerySizedText([&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(widePath.c_str(), size, buffer, nullptr);
    });
    return full.empty() ? std::u16string(path) : full;
}

std::u16string CanonicalPath(std::u16string_view path) {
    std::u16string full = FullPathOf(path);
    std::wstring wideFull = ToWide(full);
    std::u16string longForm = QuerySizedText([&](wchar_t* buffer, DWORD size) {
        return ::GetLongPathNameW(wideFull.c_str(), buffer, size);
    });
    return longForm.empty() ? full : longForm;
}

std::u16string ShortPathOf(std::u16string_view path) {
    std::wstring longPath = ToWide(path);
    DWORD needed = ::GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (needed == 0) return std::u16string(path);
    std::wstring buffer(needed, L'\0');
    DWORD length = ::GetShortPathNameW(longPath.c_str(), buffer.data(), needed);
    return length != 0 && length < needed ? FromWide(std::wstring_view(buffer.data(), length)) : std::u16string(path);
}

Win32Result<std::string> ReadWholeFile(std::u16string_view path, std::uint64_t limit) {
    UniqueFileHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Win32Status::FromLastError();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return Win32Status::FromLastError();
    if (std::uint64_t(size.QuadPart) > limit) return Win32Status(ERROR_FILE_TOO_LARGE);
    std::string content(std::size_t(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        DWORD want = DWORD(std::min<std::size_t>(content.size() - done, 1u << 24));
        if (!::ReadFile(file.get(), &content[done], want, &got, nullptr)) return Win32Status::FromLastError();
        if (got == 0) break;  // the file became shorter while it was read
        done += got;
    }
    content.resize(done);
    return content;
}

}  // namespace palisade
