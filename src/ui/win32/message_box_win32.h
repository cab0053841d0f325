// The installer's questions and messages, in its own message box with the
// catalogue's button captions. Silent runs show nothing and take the first
// answer.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

namespace palisade {

// Shows `text` (an empty caption is the application caption) over `owner`,
// by default the window on top (the page, else the background window).
// Button set 0 is a single "OK", set 4 the catalogue's Yes (and "Yes to all"
// with flag 0x08000000) and No; the other sets their standard buttons.
// Returns the pressed button's id (IDOK, IDYES, ...), IDOK in silent mode.
int ShowInstallerMessage(std::u16string_view text, std::u16string_view caption, UINT flags,
                         std::optional<HWND> owner = std::nullopt);

// "OK" and the catalogue's Cancel with a question icon; true for OK (and in silent mode).
bool AskOkCancel(std::u16string_view text, std::u16string_view caption, UINT flags = 0,
                 std::optional<HWND> owner = std::nullopt);

// The catalogue's Yes and No with a question icon; true for Yes (and in silent mode).
bool AskYesNo(std::u16string_view text, std::u16string_view caption, UINT flags = 0);

// The fatal message in the installer's box: a stop icon, no owner; nothing
// in silent mode. The fatal path calls it once the wizard has registered it.
void ShowFatalMessage(std::u16string_view text, std::u16string_view caption);

}  // namespace palisade
