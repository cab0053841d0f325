// Replacing files at the next restart: temporary names, the system's
// move-at-restart request, and the clean-up of the pending list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/byte_view.h"
#include "core/win32/win32_status.h"
#include "log/installation_record.h"
#include "log/run_log.h"
#include "payload/file_entry.h"
#include "variables/install_context.h"

namespace palisade {

inline constexpr std::uint32_t kTempNameStayInFolder = 0x1;

// A new, created, empty file in `folder` (the user's
// temporary folder when empty). An empty `extension` asks the system's
// unique-name service first.
Win32Result<std::u16string> MakeTempFileName(std::u16string_view folder, std::u16string_view extension,
                                             std::uint32_t flags);

// The move of `source` over `destination` at the
// next restart (nothing to do when both name the same file).
Win32Status ScheduleReplaceAtReboot(std::u16string_view source, std::u16string_view destination);

// Registers `path` (a file, or a folder that will be empty by then) for
// deletion at the next restart.
Win32Status ScheduleDeleteAtReboot(std::u16string_view path);

// Puts the new contents in a temporary file (made beside the destination).
using TemporaryFiller = std::function<Win32Status(const std::u16string& temporary)>;

// After the third failed write of `destination`, puts
// the data in a temporary file beside it (through `fill`) and registers the
// move at restart. `failureText` is the writer's failure text; it goes, with
// the outcome, to the run log on success and to the failure list otherwise.
bool ReplaceFileAtReboot(std::u16string_view destination, const TemporaryFiller& fill, const FileTimeStamp& stamp,
                         std::u16string failureText, InstallContext& context);

// Drops the pending moves and deletions that would
// undo a file of `installed`. `log` is null when run by the uninstaller.
void CancelPendingOperations(const PathSet& installed, RunLog* log);

}  // namespace palisade
