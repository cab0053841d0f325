// Replacing files at the next restart: temporary names, the system's
// move-at-restart request (and its old wininit.ini form), the replacement of
// a file in use, and the clean-up of the pending list after the file walk.
#include "actions/win32/reboot_replacement_win32.h"

#include <windows.h>

#include <random>

#include "actions/file_destination.h"
#include "actions/pending_renames.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/folder_rights_win32.h"
#include "actions/win32/wininit_rename_win32.h"
#include "core/format.h"
#include "core/text.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

constexpr int kUseTempFolderAfter = 200;
constexpr int kUseRootTempAfter = 300;
constexpr int kGiveUpAfter = 400;
constexpr int kMostAccessDenials = 20;

std::u16string UserTempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    std::u16string folder = length != 0 && length <= MAX_PATH ? FromWide(std::wstring_view(buffer, length)) : u"C:\\";
    while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    return folder;
}

bool IsFolder(std::u16string_view path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Numbers for the numbered names. Any source that differs between processes
// will do; the exclusive creation is what makes a name safe.
std::uint16_t NextTempNumber() {
    static std::minstd_rand generator(::GetTickCount() ^ (::GetCurrentProcessId() << 16));
    return std::uint16_t(generator() & 0xFFFF);
}

// Tries numbered names until one can be created exclusively.
std::u16string NumberedName(std::u16string folder, std::u16string_view extension, std::uint32_t flags) {
    int accessDenials = 0;
    for (int tries = 1; tries <= kGiveUpAfter; ++tries) {
        bool stay = (flags & kTempNameStayInFolder) != 0;
        if (tries == kUseTempFolderAfter + 1 && !stay) folder = UserTempFolder();
        if (tries == kUseRootTempAfter + 1 && !stay && (IsFolder(u"c:\\temp") || CreateFolderPath(u"c:\\temp"))) {
            folder = u"c:\\temp";
        }
        std::uint16_t number = NextTempNumber();
        std::u16string path = JoinPath(folder, extension.empty() ? NumberedTempName(number)
                                                                 : TempNameWithExtension(number, extension));
        std::wstring widePath = ToWide(path);
        if (::GetFileAttributesW(widePath.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return path;
        }
        accessDenials = ::GetLastError() == ERROR_ACCESS_DENIED ? accessDenials + 1 : 0;
        if (accessDenials > kMostAccessDenials) break;
    }
    return {};
}

bool WriteWhole(const std::u16string& path, ByteView data) {
    UniqueHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!data.empty() && (!::WriteFile(file.get(), data.data, DWORD(data.size), &written, nullptr) ||
                          written != data.size)) {
        if (::GetLastError() == 0) ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

// Both name the same file: compared by their full paths, ignoring case.
bool SameFile(std::u16string_view a, std::u16string_view b) {
    auto full = [](std::u16string_view path) {
        wchar_t buffer[32768];
        DWORD length = ::GetFullPathNameW(ToWide(path).c_str(), 32768, buffer, nullptr);
        return length != 0 && length < 32768 ? FromWide(std::wstring_view(buffer, length)) : std::u16string(path);
    };
    return EqualsIgnoreCase(full(a), full(b));
}

}  // namespace

std::u16string MakeTempFileName(std::u16string_view folder, std::u16string_view extension, std::uint32_t flags) {
    std::u16string base = folder.empty() ? UserTempFolder() : std::u16string(folder);
    if (!IsFolder(base) && !CreateFolderPath(base)) return {};
    if (extension.empty()) {
        wchar_t buffer[MAX_PATH + 1] = {};
        if (::GetTempFileNameW(ToWide(base).c_str(), L"KRT", 0, buffer) != 0) return FromWide(buffer);
    }
    return NumberedName(base, extension, flags);
}

bool ScheduleReplaceAtReboot(std::u16string_view source, std::u16string_view destination) {
    if (source.empty() || destination.empty() || !FileExists(source)) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    if (SameFile(source, destination)) {
        ::SetLastError(0);
        return true;
    }
    if (::MoveFileExW(ToWide(source).c_str(), ToWide(destination).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
        ::SetLastError(ERROR_BUSY);
        return true;
    }
    DWORD error = ::GetLastError();
    if (!FileExists(JoinPath(WindowsFolder(), u"wininit.exe"))) {
        ::SetLastError(error);
        return false;
    }
    if (!ScheduleInWininit(source, destination)) return false;
    ::SetLastError(ERROR_BUSY);
    return true;
}

bool ScheduleDeleteAtReboot(std::u16string_view path) {
    if (path.empty()) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    return ::MoveFileExW(ToWide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool ReplaceFileAtReboot(std::u16string_view destination, ByteView data, const FileTimeStamp& stamp,
                         std::u16string failureText, InstallContext& context) {
    std::u16string target(destination);
    std::u16string temporary = MakeTempFileName(FolderOf(destination), u"", 0);
    if (temporary.empty() || !WriteWhole(temporary, data)) {
        DWORD error = ::GetLastError();
        if (!temporary.empty()) ::DeleteFileW(ToWide(temporary).c_str());
        failureText += Format(
            u"Failed to register '%s' for replacement because no temporary file could be created.\r\n%s\r\n\r\n",
            {target, SystemErrorText(error)});
        context.log.failures.Append(failureText);
        return false;
    }
    OpenToEveryone(temporary);  // also clears the read-only, hidden and system attributes
    ApplyTimeStamp(temporary, stamp);
    if (ScheduleReplaceAtReboot(temporary, target)) {
        context.settings.settingsFlags1 |= Flags1::kRestartRequired;
        failureText += Format(u"\"%s\" was successfully registered for replacement.\r\nTemporary file is \"%s\"\r\n"
                              u"Reboot will be required.\r\n\r\n",
                              {target, temporary});
        context.log.runLog.AppendWide(failureText);
        return true;
    }
    DWORD error = ::GetLastError();
    failureText += Format(u"Failed to register '%s' for replacement with temporary file '%s'\r\n%s\r\n\r\n",
                          {target, temporary, SystemErrorText(error)});
    ::DeleteFileW(ToWide(temporary).c_str());
    context.log.failures.Append(failureText);
    return false;
}

}  // namespace palisade
