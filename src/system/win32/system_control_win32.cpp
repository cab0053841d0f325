// The administrator test, starting a program, restarting the computer.
#include "system/win32/system_control_win32.h"

#include <windows.h>

#include <string>

#include "core/command_arguments.h"
#include "core/win32/file_system.h"
#include "core/win32/privileges.h"
#include "core/win32/process.h"

namespace palisade {

bool ProcessIsAdministrator() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                    0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    ::FreeSid(administrators);
    return member != FALSE;
}

Win32Status StartProgram(std::u16string_view commandLine) {
    ProcessRequest request;
    request.commandLine = QuoteProgramOfCommand(commandLine, [](std::u16string_view path) { return FileExists(path); });
    Win32Result<UniqueHandle> started = StartProcess(request);
    return started.status();
}

void RestartComputer() {
    // Without the privilege the request below fails on its own; nothing more to do.
    (void)EnablePrivilege(SE_SHUTDOWN_NAME);
    ::ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                    SHTDN_REASON_FLAG_PLANNED);
}

}  // namespace palisade
