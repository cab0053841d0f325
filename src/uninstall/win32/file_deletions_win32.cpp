// Deletes the files that the conditional deletions match.
#include "uninstall/win32/file_deletions_win32.h"

#include <windows.h>

#include "actions/win32/reboot_replacement_win32.h"
#include "core/fatal_codes.h"
#include "core/format.h"
#include "core/program_narrow.h"
#include "core/win32/system_error.h"
#include "core/win32/system_time.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "uninstall/conditional_delete.h"
#include "uninstall/removal_rules.h"

namespace palisade {
namespace {


DeletionDate DateOf(const FILETIME& time) {
    DeletionDate date;
    static_cast<CalendarTime&>(date) = FromFileTime(time).value_or(CalendarTime{});
    date.hasTime = true;
    return date;
}

// A pattern may carry wildcards in its last component only, so a full path is
// recognised by its folder.
std::u16string JoinRelative(const std::u16string& folder, std::u16string_view pattern) {
    if (IsRemovablePath(ParentFolder(pattern))) return std::u16string(pattern);
    while (!pattern.empty() && pattern.front() == u'\\') pattern.remove_prefix(1);
    std::u16string joined = folder;
    if (!joined.empty() && joined.back() != u'\\') joined += u'\\';
    return joined + std::u16string(pattern);
}

void DeleteOne(const std::u16string& path, const FileDeletion& deletion, FileDeletionRun& run) {
    std::wstring wide = ToWide(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(wide.c_str(),
                             attributes & ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }
    bool atRestart = (deletion.flags & kDeleteAtRestart) != 0;
    DWORD error = 0;
    if (!atRestart) {
        if (::DeleteFileW(wide.c_str())) {
            run.deletedFileFolders.push_back(ParentFolder(path));
            if (run.atInstall && run.log) run.log->runLog.AppendWide(Format(u"Deleted file: %s\r\n", {path}));
            return;
        }
        error = ::GetLastError();
    }
    if (atRestart || (deletion.flags & kDeleteReportDeferred) != 0) {
        if (run.atInstall && run.log) {
            std::u16string reason = atRestart ? u"." : SystemErrorText(error);
            run.log->runLog.AppendWide(Format(u"File \"%s\" will be deleted after rebooting%s%s\r\n",
                                              {path, atRestart ? u"" : u": ", reason}));
        }
        if (Win32Status scheduled = ScheduleDeleteAtReboot(path); scheduled.ok()) {
            run.restartNeeded = true;
        } else if (run.atInstall && run.log) {
            run.log->failures.Append(Format(u"Failed to register \"%s\" for deletion: %s\r\n",
                                            {path, SystemErrorText(scheduled.code())}));
        }
        return;
    }
    if (run.atInstall && run.log) {
        run.log->runLog.AppendWide(Format(u"Failed to delete file \"%s\": %s\r\n", {path, SystemErrorText(error)}));
    }
}

}  // namespace

StepResult ProcessFileDeletions(const std::vector<FileDeletion>& deletions, FileDeletionRun& run) {
    bool handledAny = false;
    for (const FileDeletion& deletion : deletions) {
        if (!AppliesAt(deletion, run.atInstall)) continue;
        std::u16string pattern = DecodeProgramNarrow(deletion.pathPattern);
        if (run.expand) pattern = run.expand(pattern);
        std::u16string full = JoinRelative(run.installFolder, pattern);
        std::u16string folder = ParentFolder(full);
        if (folder.empty() || !IsRemovablePath(folder)) continue;
        WIN32_FIND_DATAW found{};
        UniqueFindHandle search(::FindFirstFileW(ToWide(full).c_str(), &found));
        if (!search) continue;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
            FileFacts facts;
            facts.lastWrite = DateOf(found.ftLastWriteTime);
            facts.size = (std::uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            DeletionVerdict verdict = DecideDeletion(deletion, facts);
            // The installer stops on a bad date before it changes anything; the
            // uninstaller keeps the file, so that a product can always be removed.
            if (verdict == DeletionVerdict::BadDate && run.atInstall) return StepResult::Fatal(FatalCode::kDeletionDate);
            if (verdict == DeletionVerdict::BadDate) continue;
            if (verdict == DeletionVerdict::Keep) continue;
            std::u16string path = folder + u"\\" + FromWide(found.cFileName);
            if (!IsRemovablePath(path)) continue;
            DeleteOne(path, deletion, run);
            handledAny = true;
        } while (::FindNextFileW(search.get(), &found));
    }
    if (run.atInstall && handledAny && run.log) run.log->runLog.AppendWide(u"\r\n");
    return StepResult::Continue();
}

}  // namespace palisade
