// Registers a control panel applet under its CLSID and in the control panel's
// name space.
#include "actions/win32/applet_registration_win32.h"

#include <windows.h>

#include "actions/component_texts.h"
#include "actions/win32/component_registry_win32.h"
#include "core/fatal_codes.h"
#include "core/message_numbers.h"
#include "core/program_narrow.h"
#include "core/text.h"
#include "core/win32/system_error.h"

namespace palisade {
namespace {


// Creates the keys; the status of the first one that could not be created
// (the later ones are not tried), or ERROR_SUCCESS.
LSTATUS WriteAppletKeys(const std::u16string& clsid, const std::u16string& name, const std::u16string& destination,
                        const std::u16string& arguments, InstallContext& context) {
    std::u16string classKey = AppletClassKey(clsid);
    ComponentKey clsidKey = CreateComponentKey(HKEY_LOCAL_MACHINE, classKey);
    if (!clsidKey.key) return clsidKey.status;
    context.record.uninstallItems.Record(LocalMachineKeyNotation(classKey), UninstallItemType::RegistryKey);
    SetComponentText(clsidKey.key.get(), u"", name);
    ComponentKey icon = CreateComponentKey(clsidKey.key.get(), u"DefaultIcon");
    if (icon.key) SetComponentText(icon.key.get(), u"", destination);

    ComponentKey command = CreateComponentKey(clsidKey.key.get(), u"Shell\\Open\\Command");
    if (!command.key) return command.status;
    SetComponentText(command.key.get(), u"", AppletOpenCommand(destination, arguments));

    std::u16string nameSpaceKey = AppletNameSpaceKey(clsid);
    ComponentKey nameSpace = CreateComponentKey(HKEY_LOCAL_MACHINE, nameSpaceKey);
    if (!nameSpace.key) return nameSpace.status;
    SetComponentText(nameSpace.key.get(), u"", name);
    context.record.uninstallItems.Record(LocalMachineKeyNotation(nameSpaceKey), UninstallItemType::RegistryKey);
    return ERROR_SUCCESS;
}

}  // namespace

StepResult RegisterControlPanelApplet(const FileEntry& entry, const std::u16string& destination, InstallContext& context) {
    std::u16string name = AppletDisplayName(entry.info, destination);
    if (name.empty()) return StepResult::Fatal(FatalCode::kAppletWithoutName);
    context.progress.SetStatusText(
        ComponentProgressText(context.Message(Msg::kRegisteringFile), AppletProgressItem(name)));
    context.log.runLog.AppendWide(AppletStartLine(name));

    std::u16string clsid = DecodeProgramNarrow(entry.extra);
    if (clsid.empty()) return StepResult::Fatal(FatalCode::kAppletWithoutClassId);
    LSTATUS status = WriteAppletKeys(clsid, name, destination, Windows1252ToUtf16(entry.arguments), context);
    context.log.runLog.AppendWide(status == ERROR_SUCCESS ? std::u16string(kOkLine)
                                                          : AppletFailureLine(SystemErrorText(DWORD(status))));
    return StepResult::Continue();
}

}  // namespace palisade
