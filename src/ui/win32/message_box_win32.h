// The installer's questions and messages. The system's message box shows
// them until the installer's own box exists; silent runs show nothing and
// take the first answer.
#pragma once

#include <windows.h>

#include <string_view>

namespace palisade {

// Shows `text`; returns the pressed button's id (IDOK, IDYES, ...), IDOK in
// silent mode. An empty caption is the application caption.
int ShowInstallerMessage(std::u16string_view text, std::u16string_view caption, UINT flags);

// True for Yes (and in silent mode).
bool AskYesNo(std::u16string_view text, std::u16string_view caption, UINT flags = 0);

}  // namespace palisade
