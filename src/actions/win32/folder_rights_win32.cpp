// Opening a folder (or a file) to all users: ownership, no access-denied
// entries, and full access for Everyone inherited below.
#include "actions/win32/folder_rights_win32.h"

#include <windows.h>
#include <aclapi.h>

#include "core/format.h"
#include "core/win32/access_rights.h"
#include "core/win32/file_system.h"
#include "core/win32/guarded_call.h"
#include "core/win32/privileges.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/text.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

// What a fault inside the security calls is reported as (E_UNEXPECTED).
constexpr std::uint32_t kFaultCode = 0x8000FFFF;

// Makes the process's user the owner. A failure is not reported: without
// ownership the access list can often still be changed, and that is the aim.
void TakeOwnership(std::u16string_view path) {
    (void)EnablePrivilege(SE_TAKE_OWNERSHIP_NAME);
    (void)EnablePrivilege(SE_RESTORE_NAME);
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return;
    UniqueHandle token(rawToken);
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &size)) return;
    PSID user = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    std::wstring widePath = ToWide(path);
    ::SetNamedSecurityInfoW(widePath.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, user, nullptr, nullptr,
                            nullptr);
}

std::uint32_t OpenPathToEveryone(std::u16string_view path, EveryoneAccess how) {
    std::uint32_t code = 0;
    // The security calls run under the fault guard; a fault there leaks what
    // they held, which is the lesser harm than ending the installation.
    GuardedResult guarded = RunGuarded([&] {
        ClearProtectiveAttributes(path);
        TakeOwnership(path);
        code = GrantEveryoneFullAccess(path, how).code();
    });
    return guarded.faulted ? kFaultCode : code;
}

void LogGrant(RunLog& log, std::u16string_view folder, std::uint32_t code) {
    log.AppendWidePieces({u"Granting rights to directory \"", folder, u"\"..."});
    if (code == 0) {
        log.AppendWide(u"OK\r\n");
    } else {
        log.AppendFormattedWide(u"FAILED code %d: %s\r\n\r\n", {int(code), SystemErrorText(code)});
    }
}

}  // namespace

void GrantFolderRights(std::u16string_view folder, InstallContext& context) {
    if (folder.empty() || !context.Flag2(Flags2::kGrantFolderRights)) return;
    LogGrant(context.log.runLog, folder,
             FolderExists(folder) ? OpenPathToEveryone(folder, {true, true, false}) : std::uint32_t(ERROR_PATH_NOT_FOUND));
}

void GrantInstallFolderRights(std::u16string_view installFolder, std::u16string_view protectedFolder,
                              InstallContext& context) {
    if (installFolder.empty() || !context.Flag2(Flags2::kGrantFolderRights)) return;
    RunLog& log = context.log.runLog;
    if (EqualsIgnoreCase(installFolder, protectedFolder)) {
        // Anyone who may change this folder could replace the uninstaller
        // that an administrator will run.
        log.AppendWidePieces({u"Rights to directory \"", installFolder,
                              u"\" are not granted: it holds the uninstaller.\r\n"});
        return;
    }
    if (!FolderExists(installFolder)) {
        LogGrant(log, installFolder, ERROR_PATH_NOT_FOUND);
        return;
    }
    Win32Result<AccessList> before = AccessList::Read(installFolder);
    std::uint32_t code = before.ok() ? OpenPathToEveryone(installFolder, {true, true, true}) : before.code();
    if (code == 0 && FolderExists(protectedFolder)) code = before->ApplyProtected(protectedFolder).code();
    LogGrant(log, installFolder, code);
}

}  // namespace palisade
