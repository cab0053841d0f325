// The move-at-restart request in the form older Windows systems read it: a
// line in the "[rename]" section of wininit.ini in the Windows folder.
#pragma once

#include <string>
#include <string_view>

#include "core/win32/win32_status.h"

namespace palisade {

// Inserts "destination=source" (ANSI, "?" for what the code page lacks)
// right after the "[rename]" header, adding the section when it is missing.
Win32Status ScheduleInWininit(std::u16string_view source, std::u16string_view destination);

}  // namespace palisade
