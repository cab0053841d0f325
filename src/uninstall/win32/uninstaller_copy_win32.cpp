// Writing the uninstaller, with the restart replacement when the file is in use.
#include "uninstall/win32/uninstaller_copy_win32.h"

#include <windows.h>

#include "actions/win32/file_writer_win32.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "core/format.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "payload/pe_certificate.h"
#include "payload/settings_flags.h"
#include "uninstall/win32/uninstaller_icon_win32.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

void WriteStrippedImage(InstallContext& context, const std::u16string& path, ByteView image) {
    WriteRequest request;
    request.destination = path;
    request.data = image;
    if (!WriteInstalledFile(request, context).written) return;  // the writer reported why
    context.log.runLog.AppendWidePieces({u"Uninstaller >>> ", path, u"\r\n"});
    // A signed image (carried from the build machine) has its icon already;
    // rewriting its resources would break the signature.
    if (!context.settings.uninstallerIcon.empty() && !CarriesSignature(image)) {
        ReplaceProgramIcon(path, ByteView(context.settings.uninstallerIcon), context.log.runLog);
    }
}

// The copy failed (the old uninstaller is probably running): copy to a new
// temporary file beside it and let the restart put it in place.
void CopyForRestart(InstallContext& context, const std::u16string& path, const std::u16string& source) {
    std::u16string folder = CutLastComponent(path).value_or(u"");
    Win32Result<std::u16string> made = MakeTempFileName(folder, u"", kTempNameStayInFolder);
    if (!made.ok()) {
        context.log.failures.Append(Format(
            u"Failed to register '%s' for replacement because no temporary file could be created.\r\n%s\r\n\r\n",
            {path, SystemErrorText(made.code())}));
        return;
    }
    const std::u16string& temp = *made;
    std::wstring wideTemp = ToWide(temp);
    Win32Status registered = ::CopyFileW(ToWide(source).c_str(), wideTemp.c_str(), FALSE)
                                 ? ScheduleReplaceAtReboot(temp, path)
                                 : Win32Status::FromLastError();
    if (registered.ok()) {
        context.settings.settingsFlags1 |= Flags1::kRestartRequired;
        context.log.runLog.AppendFormattedWide(
            u"\"%s\" was successfully registered for replacement.\r\nTemporary file is \"%s\"\r\nReboot will be "
            u"required.\r\n\r\n",
            {path, temp});
        return;
    }
    context.log.failures.Append(Format(u"Failed to register '%s' for replacement with temporary file '%s'\r\n%s\r\n\r\n",
                                       {path, temp, SystemErrorText(registered.code())}));
    ::DeleteFileW(wideTemp.c_str());
}

}  // namespace

void WriteUninstaller(InstallContext& context, const std::u16string& uninstallerPath, ByteView strippedImage,
                      const std::u16string& runningExecutable) {
    if (context.Payload(PayloadFlags::kStrippedInstaller)) {
        WriteStrippedImage(context, uninstallerPath, strippedImage);
        return;
    }
    if (::CopyFileW(ToWide(runningExecutable).c_str(), ToWide(uninstallerPath).c_str(), FALSE)) return;
    CopyForRestart(context, uninstallerPath, runningExecutable);
}

}  // namespace palisade
