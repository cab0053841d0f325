// The one path by which a run ends on a fatal condition, and the orderly exit.
#pragma once

#include <cstddef>
#include <string_view>

namespace palisade {

[[noreturn]] void ExitInstaller(int code);

// Shows `text` (unless silent) and ends the run with exit code 1. A second
// fatal condition while one is being reported ends the process at once with -1.
[[noreturn]] void FatalMessageHandler(std::u16string_view text);

// The wide and narrow fatal formatting paths: the text is cut to 4096
// characters; the narrow path first runs the registered exit callbacks.
[[noreturn]] void FatalWide(std::u16string_view text);
[[noreturn]] void FatalNarrow(std::u16string_view text);

// A numbered internal error: the corrupt-installer message with `code`.
[[noreturn]] void FatalError(int code, bool appendSystemError = false);

// Ends the run with the usage text and `complaint`.
[[noreturn]] void ShowUsage(std::u16string_view complaint);

[[noreturn]] void FatalOutOfMemory(std::size_t requestedSize);

}  // namespace palisade
