// Shared folder creation and the SharedDLLs counts, in the registry view the
// 32-bit installer process sees by default.
#include "actions/win32/shared_counts_win32.h"

#include <windows.h>

#include "actions/shared_counts.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/folder_rights_win32.h"
#include "core/win32/file_system.h"
#include "core/win32/registry.h"
#include "core/win32/system_error.h"
#include "log/failure_list.h"
#include "payload/settings_flags.h"
#include "variables/os_description.h"

namespace palisade {
namespace {

}  // namespace

std::optional<std::uint32_t> SharedDllsCounts::Read(std::u16string_view path) {
    // A value of another type or size is no count.
    Win32Result<std::uint32_t> count = ReadRegistryDword(m_key.get(), path);
    return count.ok() ? std::optional<std::uint32_t>(*count) : std::nullopt;
}

std::uint32_t SharedDllsCounts::Write(std::u16string_view path, std::uint32_t count) {
    return SetRegistryDword(m_key.get(), path, count).code();
}

bool SharedDllsCounts::Delete(std::u16string_view path) { return DeleteRegistryValue(m_key.get(), path).ok(); }

Win32Result<SharedDllsCounts> SharedDllsCounts::Open() {
    Win32Result<CreatedKey> key = CreateKey(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key.ok()) return key.status();
    return SharedDllsCounts(std::move(key->key));
}

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
    Win32Result<SharedDllsCounts> store = SharedDllsCounts::Open();
    if (!store.ok()) {
        context.log.failures.Append(SharedKeyFailureText(RenderErrorCode(store.code()), SystemErrorText(store.code()),
                                                         DescribeOs(context.facts.OsVersion(), 0)));
        return;
    }
    for (const SharedCountFailure& failure :
         IncrementSharedCountsIn(context.record.sharedCountList, context.record.sharedFilesRecord, *store)) {
        context.log.runLog.AppendWide(SharedCountFailureLine(failure.path, SystemErrorText(failure.error)));
    }
}

}  // namespace palisade
