// The installer's questions and messages through the system's message box.
#include "ui/win32/message_box_win32.h"

#include <string>

#include "core/fatal_texts.h"
#include "core/win32/debug_output.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"

namespace palisade {

int ShowInstallerMessage(std::u16string_view text, std::u16string_view caption, UINT flags) {
    if (Process().options.silent) return IDOK;
    // Admins following a run with a debug viewer see what was asked.
    WriteDebugOutput(text);
    std::u16string shownCaption(caption.empty() ? std::u16string_view(kApplicationCaption) : caption);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return ::MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(shownCaption).c_str(),
                         flags | MB_SETFOREGROUND | MB_TASKMODAL);
}

bool AskYesNo(std::u16string_view text, std::u16string_view caption, UINT flags) {
    if (Process().options.silent) return true;
    return ShowInstallerMessage(text, caption, flags | MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace palisade
