// Runs an MSI package that the file walk has just written.
#include "actions/win32/msi_package_win32.h"

#include <windows.h>

#include "actions/component_texts.h"
#include "actions/win32/msi_library_win32.h"
#include "core/message_numbers.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {

void InstallMsiPackage(const FileEntry& entry, const std::u16string& destination, InstallContext& context) {
    context.progress.SetStatusText(ComponentProgressText(context.Message(Msg::kRegisteringFile), destination));
    std::u16string line = MsiStartLine(destination);
    std::int32_t level = EffectiveMsiUiLevel(entry.msiUiLevel, context.silent);

    const MsiLibrary& msi = Msi();
    UINT result = ERROR_CALL_NOT_IMPLEMENTED;  // 120: MSI.DLL cannot be used
    GuardedResult guarded;
    if (msi.Usable()) {
        static HWND owner = nullptr;  // MSI keeps the pointer: it must outlive the call
        owner = ::GetActiveWindow();
        std::wstring package = ToWide(destination);
        guarded = RunGuarded([&] {
            msi.setInternalUi(level, &owner);
            result = msi.installProduct(package.c_str(), L"REBOOT=R");
        });
    }
    if (guarded.faulted) {
        line += kCrashedLine;
        context.log.failures.Append(line);
    } else if (result == ERROR_SUCCESS) {
        line += kOkLine;
        if (entry.flags & EntryFlags::kRecordMsiPackage) context.record.msi += MsiRecordLine(destination, level);
    } else {
        line += MsiFailureLine(std::int32_t(result), SystemErrorText(result));
        context.log.failures.Append(line);
    }
    context.log.runLog.AppendWide(line);
}

}  // namespace palisade
