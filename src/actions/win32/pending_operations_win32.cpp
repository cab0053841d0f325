// The clean-up of the system's pending restart operations after the file
// walk: moves over, and deletions of, files this run installed are dropped.
#include <windows.h>

#include "actions/pending_renames.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingValue[] = L"PendingFileRenameOperations";

std::u16string ReadPendingValue(HKEY key) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, kPendingValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ || size < sizeof(wchar_t)) {
        return {};
    }
    std::u16string data(size / sizeof(char16_t) + 1, u'\0');
    if (::RegQueryValueExW(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    data.resize(size / sizeof(char16_t));
    return data;
}

}  // namespace

void CancelPendingOperations(const PathSet& installed, RunLog* log) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return;
    }
    UniqueHkey key(opened);
    std::u16string data = ReadPendingValue(key.get());
    std::vector<std::u16string> strings = SplitMultiString(data);
    if (strings.empty()) return;
    if (log != nullptr) log->AppendWide(u"\r\n");
    PendingListEdit edit = EditPendingList(std::move(strings), installed);
    if (log != nullptr) {
        for (const std::u16string& line : edit.logLines) log->AppendWide(line);
    }
    for (const std::u16string& file : edit.filesToDelete) ::DeleteFileW(ToWide(file).c_str());
    if (!edit.changed) return;
    if (edit.strings.empty()) {
        ::RegDeleteValueW(key.get(), kPendingValue);
        return;
    }
    std::u16string updated = JoinMultiString(edit.strings);
    ::RegSetValueExW(key.get(), kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(updated.data()),
                     DWORD(updated.size() * sizeof(char16_t)));
}

}  // namespace palisade
