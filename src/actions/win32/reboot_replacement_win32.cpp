// Replacing files at the next restart: temporary names, the system's
// move-at-restart request (and its old wininit.ini form), the replacement of
// a file in use, and the clean-up of the pending list after the file walk.
#include "actions/win32/reboot_replacement_win32.h"

#include <windows.h>

#include <random>

#include "actions/file_destination.h"
#include "actions/pending_renames.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/wininit_rename_win32.h"
#include "core/format.h"
#include "core/text.h"
#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
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
    std::u16string folder = TempFolderPath();
    if (folder.empty()) folder = u"C:\\";
    while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    return folder;
}

// Numbers for the numbered names. Any source that differs between processes
// will do; the exclusive creation is what makes a name safe.
std::uint16_t NextTempNumber() {
    static std::minstd_rand generator(::GetTickCount() ^ (::GetCurrentProcessId() << 16));
    return std::uint16_t(generator() & 0xFFFF);
}

// Tries numbered names until one can be created exclusively.
Win32Result<std::u16string> NumberedName(std::u16string folder, std::u16string_view extension, std::uint32_t flags) {
    int accessDenials = 0;
    Win32Status failure(ERROR_FILE_EXISTS);
    for (int tries = 1; tries <= kGiveUpAfter; ++tries) {
        bool stay = (flags & kTempNameStayInFolder) != 0;
        if (tries == kUseTempFolderAfter + 1 && !stay) folder = UserTempFolder();
        if (tries == kUseRootTempAfter + 1 && !stay && CreateFolderPath(u"c:\\temp").ok()) folder = u"c:\\temp";
        std::uint16_t number = NextTempNumber();
        std::u16string path = JoinPath(folder, extension.empty() ? NumberedTempName(number)
                                                                 : TempNameWithExtension(number, extension));
        std::wstring widePath = ToWide(path);
        if (::GetFileAttributesW(widePath.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        UniqueFileHandle file(::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return path;
        failure = Win32Status::FromLastError();
        accessDenials = failure.code() == ERROR_ACCESS_DENIED ? accessDenials + 1 : 0;
        if (accessDenials > kMostAccessDenials) break;
    }
    return failure;
}

// Both name the same file: compared by their full paths, ignoring case.
bool SameFile(std::u16string_view a, std::u16string_view b) { return EqualsIgnoreCase(FullPathOf(a), FullPathOf(b)); }

}  // namespace

Win32Result<std::u16string> MakeTempFileName(std::u16string_view folder, std::u16string_view extension,
                                             std::uint32_t flags) {
    std::u16string base = folder.empty() ? UserTempFolder() : std::u16string(folder);
    if (Win32Status created = CreateFolderPath(base); created.failed()) return created;
    if (extension.empty()) {
        wchar_t buffer[MAX_PATH + 1] = {};
        if (::GetTempFileNameW(ToWide(base).c_str(), L"KRT", 0, buffer) != 0) return FromWide(buffer);
    }
    return NumberedName(base, extension, flags);
}

Win32Status ScheduleReplaceAtReboot(std::u16string_view source, std::u16string_view destination) {
    if (source.empty() || destination.empty() || !FileExists(source)) return Win32Status(ERROR_FILE_NOT_FOUND);
    if (SameFile(source, destination)) return {};
    if (::MoveFileExW(ToWide(source).c_str(), ToWide(destination).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
        return {};
    }
    Win32Status failure = Win32Status::FromLastError();
    // Systems that keep restart moves in wininit.ini have its program.
    if (!FileExists(JoinPath(WindowsFolderPath(), u"wininit.exe"))) return failure;
    return ScheduleInWininit(source, destination);
}

Win32Status ScheduleDeleteAtReboot(std::u16string_view path) {
    if (path.empty()) return Win32Status(ERROR_FILE_NOT_FOUND);
    if (::MoveFileExW(ToWide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return {};
    return Win32Status::FromLastError();
}

bool ReplaceFileAtReboot(std::u16string_view destination, const TemporaryFiller& fill, const FileTimeStamp& stamp,
                         std::u16string failureText, InstallContext& context) {
    std::u16string target(destination);
    Win32Result<std::u16string> temporary = MakeTempFileName(FolderOf(destination), u"", 0);
    Win32Status written = temporary.ok() ? fill(*temporary) : temporary.status();
    if (written.failed()) {
        if (temporary.ok()) ::DeleteFileW(ToWide(*temporary).c_str());
        failureText += Format(
            u"Failed to register '%s' for replacement because no temporary file could be created.\r\n%s\r\n\r\n",
            {target, SystemErrorText(written.code())});
        context.log.failures.Append(failureText);
        return false;
    }
    // The temporary file keeps the access it inherited from the destination's
    // folder: the file it replaces at the restart must not become writable
    // by anyone the folder does not already let write.
    ClearProtectiveAttributes(*temporary);
    ApplyTimeStamp(*temporary, stamp);
    Win32Status scheduled = ScheduleReplaceAtReboot(*temporary, target);
    if (scheduled.ok()) {
        context.settings.settingsFlags1 |= Flags1::kRestartRequired;
        failureText += Format(u"\"%s\" was successfully registered for replacement.\r\nTemporary file is \"%s\"\r\n"
                              u"Reboot will be required.\r\n\r\n",
                              {target, *temporary});
        context.log.runLog.AppendWide(failureText);
        return true;
    }
    failureText += Format(u"Failed to register '%s' for replacement with temporary file '%s'\r\n%s\r\n\r\n",
                          {target, *temporary, SystemErrorText(scheduled.code())});
    ::DeleteFileW(ToWide(*temporary).c_str());
    context.log.failures.Append(failureText);
    return false;
}

}  // namespace palisade
