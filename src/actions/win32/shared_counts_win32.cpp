// Shared folder creation and the SharedDLLs counts, in the registry view the
// 32-bit installer process sees by default.
#include "actions/win32/shared_counts_win32.h"

#include <windows.h>

#include "actions/shared_counts.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/folder_rights_win32.h"
#include "core/win32/file_system.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/failure_list.h"
#include "payload/settings_flags.h"
#include "variables/os_description.h"

namespace palisade {
namespace {

class RegistryCountStore final : public SharedCountStore {
public:
    explicit RegistryCountStore(HKEY key) : m_key(key) {}

    std::uint32_t Read(std::u16string_view path) override {
        std::wstring name = ToWide(path);
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        LSTATUS status = ::RegQueryValueExW(m_key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        // A value of another type or size is no count: start again from 0.
        if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return 0;
        return value;
    }

    std::uint32_t Write(std::u16string_view path, std::uint32_t count) override {
        std::wstring name = ToWide(path);
        DWORD value = count;
        return std::uint32_t(
            ::RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value));
    }

private:
    HKEY m_key;
};

}  // namespace

bool PlaceSharedFolder(InstallContext& context) {
    std::u16string folder = SharedFolderFor(context.settings, context.state, context.facts);
    context.state.sharedFolder = folder;
    if (folder.empty()) return true;
    if (Win32Status created = CreateFolderPath(folder); created.failed()) {
        context.log.failures.Append(SharedFolderFailureText(folder, SystemErrorText(created.code())));
        return false;
    }
    if (context.Flag2(Flags2::kGrantSharedFolderRights)) GrantFolderRights(folder, context);
    return true;
}

void IncrementSharedCounts(InstallContext& context) {
    if (!context.Flag1(Flags1::kUninstaller) || context.state.portable) return;
    HKEY opened = nullptr;
    std::wstring keyPath = ToWide(kSharedDllsKey);
    LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0,
                                       KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) {
        context.log.failures.Append(SharedKeyFailureText(RenderErrorCode(std::uint32_t(status)),
                                                         SystemErrorText(std::uint32_t(status)),
                                                         DescribeOs(context.facts.OsVersion(), 0)));
        return;
    }
    UniqueHkey key(opened);
    RegistryCountStore store(key.get());
    for (const SharedCountFailure& failure :
         IncrementSharedCountsIn(context.record.sharedCountList, context.record.sharedFilesRecord, store)) {
        context.log.runLog.AppendWide(SharedCountFailureLine(failure.path, SystemErrorText(failure.error)));
    }
}

}  // namespace palisade
