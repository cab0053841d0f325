// The installer's own message box: laid out for its text and buttons, built
// as a dialog template in memory and run in a private modal loop; the
// system's box with the nearest button set when the dialog cannot be made.
#pragma once

#include <windows.h>

#include "ui/message_box_model.h"

namespace palisade {

struct MessageBoxIcons {
    HICON window = nullptr;  // the box's window icon
    HICON custom = nullptr;  // replaces the flags' standard icon (request.hasCustomIcon)
};

// Runs the box modally over `owner` (disabled meanwhile); returns the pressed
// button's result id, or kResultNoWindow when the dialog could not be made.
// The footer check box's final state is written back to the request.
int RunMessageBoxDialog(HWND owner, MessageBoxRequest& request, const MessageBoxIcons& icons = {});

// The system's message box with the button set nearest to the request's,
// its answer mapped back to the request's result ids.
int ShowSystemMessageBox(HWND owner, const MessageBoxRequest& request);

// RunMessageBoxDialog, and the system's message box when it made no window.
int ShowMessageBox(HWND owner, MessageBoxRequest& request, const MessageBoxIcons& icons = {});

}  // namespace palisade
