// Replacing files at the next restart: temporary names, the system's
// move-at-restart request, and the clean-up of the pending list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "actions/install_context.h"
#include "actions/installation_record.h"
#include "log/run_log.h"
#include "payload/byte_view.h"
#include "payload/file_entry.h"

namespace palisade {

inline constexpr std::uint32_t kTempNameStayInFolder = 0x1;

// `makeTempFileName`: a new, created, empty file in `folder` (the user's
// temporary folder when empty); empty text when none could be made. An empty
// `extension` asks the system's unique-name service first.
std::u16string MakeTempFileName(std::u16string_view folder, std::u16string_view extension, std::uint32_t flags);

// `scheduleReplaceAtReboot`: on success the last error is ERROR_BUSY (170).
bool ScheduleReplaceAtReboot(std::u16string_view source, std::u16string_view destination);

// Registers `path` (a file, or a folder that will be empty by then) for
// deletion at the next restart; false with the system's last error otherwise.
bool ScheduleDeleteAtReboot(std::u16string_view path);

// `replaceFileAtReboot`: after the third failed write of `destination`, puts
// the data in a temporary file beside it and registers the move at restart.
// `failureText` is the writer's failure text; it goes, with the outcome, to
// the run log on success and to the failure list otherwise.
bool ReplaceFileAtReboot(std::u16string_view destination, ByteView data, const FileTimeStamp& stamp,
                         std::u16string failureText, InstallContext& context);

// `cancelPendingOperations`: drops the pending moves and deletions that would
// undo a file of `installed`. `log` is null when run by the uninstaller.
void CancelPendingOperations(const PathSet& installed, RunLog* log);

}  // namespace palisade
