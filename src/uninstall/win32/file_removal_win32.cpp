// File and folder deletion for the uninstaller.
#include "uninstall/win32/file_removal_win32.h"

#include "actions/win32/reboot_replacement_win32.h"
#include "core/win32/file_system.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "uninstall/removal_rules.h"

namespace palisade {
namespace {

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\') path += u'\\';
    return path + std::u16string(name);
}

}  // namespace

FileRemoval RemoveFileNowOrAtRestart(std::u16string_view path) {
    if (!FileExists(path)) return FileRemoval::Absent;
    ClearProtectiveAttributes(path);
    if (::DeleteFileW(ToWide(path).c_str())) return FileRemoval::Deleted;
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileRemoval::Absent;
    if (ScheduleDeleteAtReboot(path).ok()) return FileRemoval::AtRestart;
    return FileRemoval::Failed;
}

std::vector<std::u16string> FolderEntryNames(std::u16string_view folder) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(ToWide(Join(folder, u"*")).c_str(), &found));
    if (!search) return names;
    do {
        std::u16string name = FromWide(found.cFileName);
        if (name != u"." && name != u"..") names.push_back(std::move(name));
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

bool RemoveFolderIfEmpty(std::u16string_view folder) {
    if (!FolderExists(folder)) return true;
    std::vector<std::u16string> names = FolderEntryNames(folder);
    if (!CountsAsEmptyFolder(names)) return false;
    for (const std::u16string& name : names) {
        std::u16string path = Join(folder, name);
        ClearProtectiveAttributes(path);
        ::DeleteFileW(ToWide(path).c_str());
    }
    // A folder the desktop folder step marked as system keeps that mark.
    ClearProtectiveAttributes(folder);
    return ::RemoveDirectoryW(ToWide(folder).c_str()) != FALSE;
}

}  // namespace palisade
