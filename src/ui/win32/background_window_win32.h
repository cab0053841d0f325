// The borderless window behind the wizard: created once, painted from the
// background record of the wizard's state, and kept until the process ends.
#pragma once

#include <windows.h>

namespace palisade {

// Creates the window over the work area (or maximised, when the settings ask
// or the work area cannot be read), shows it, brings it forward and gives it
// the installer's icons. Null when neither a wide nor a narrow window could
// be made: the pages then centre on the work area.
HWND CreateBackgroundWindow(HINSTANCE instance, bool startMinimised);

// Erasing and painting, for the window procedure.
void EraseBackground(HWND window, HDC dc);
void PaintBackgroundTexts(HWND window, HDC dc);

// The window rectangle pages centre on: the background window's, or the work
// area when there is none.
RECT CentringArea();

// Minimises and destroys the window at the end of the run.
void CloseBackgroundWindow();

}  // namespace palisade
