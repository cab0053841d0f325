// Reading, changing and writing back the machine-wide "Path" value.
#include "actions/win32/system_path_win32.h"

#include <windows.h>

#include "core/win32/file_system.h"
#include "core/win32/registry.h"

namespace palisade {
namespace {

constexpr char16_t kEnvironmentKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

// Running programs (Explorer above all) read the environment again.
void AnnounceEnvironmentChange() {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                          SMTO_ABORTIFHUNG, 1000, &result);
}

}  // namespace

void EditSystemPath(PathEdit edit, std::u16string_view subfolder, std::u16string_view installFolder, RunLog& log) {
    Win32Result<UniqueHkey> environment =
        TryOpenKey(HKEY_LOCAL_MACHINE, kEnvironmentKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!environment.ok()) return;
    Win32Result<std::u16string> value = ReadRegistryText(environment->get(), u"Path");
    if (!value.ok() || value->empty()) return;
    std::u16string folder = PathFolderFor(subfolder, installFolder);
    std::optional<std::u16string> changed;
    if (edit == PathEdit::Add) {
        if (!FolderExists(folder)) {
            log.AppendWidePieces({u"Couldn't add \"", folder, u"\" to the PATH because it does not exist.\r\n"});
            return;
        }
        changed = AddFolderToPathValue(*value, folder);
    } else {
        changed = RemoveFolderFromPathValue(*value, folder);
    }
    if (!changed) return;
    if (SetRegistryText(environment->get(), u"Path", *changed, REG_EXPAND_SZ).ok()) {
        AnnounceEnvironmentChange();
    }
}

void EditSystemPath(InstallContext& context, PathEdit edit, std::u16string_view subfolder) {
    EditSystemPath(edit, subfolder, context.state.installFolder, context.log.runLog);
}

}  // namespace palisade
