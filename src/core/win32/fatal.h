// The one path by which a run ends on a fatal condition, and the orderly exit.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/win32/win32_status.h"

namespace palisade {

// Ends the run with `code`, or, when the author asked for deployment exit
// codes, with the code of the outcome the run set (Process().outcome).
[[noreturn]] void ExitInstaller(int code);

// Shows `text` (unless silent) and ends the run with exit code 1. A second
// fatal condition while one is being reported ends the process at once with -1.
[[noreturn]] void FatalMessageHandler(std::u16string_view text);

// Ends the run with `text`, cut to 4096 characters.
[[noreturn]] void FatalWide(std::u16string_view text);

// A numbered internal error: the corrupt-installer message with `code`, and
// the system error's line when `systemError` is one.
[[noreturn]] void FatalError(int code, Win32Status systemError = {});

[[noreturn]] void FatalOutOfMemory(std::size_t requestedSize);

}  // namespace palisade
