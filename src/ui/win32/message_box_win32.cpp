// The installer's questions and messages through its own message box.
#include "ui/win32/message_box_win32.h"

#include <string>

#include "core/fatal_texts.h"
#include "core/win32/debug_output.h"
#include "core/win32/process_state.h"
#include "ui/message_box_model.h"
#include "ui/win32/message_box_dialog_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

int Ask(std::u16string_view text, std::u16string_view caption, std::uint32_t flags,
        std::vector<MessageBoxButton> buttons, std::optional<HWND> owner) {
    // Admins following a run with a debug viewer see what was asked.
    WriteDebugOutput(text);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    MessageBoxRequest request;
    request.text = std::u16string(text);
    request.caption = caption.empty() ? std::u16string(kApplicationCaption) : std::u16string(caption);
    request.flags = flags;
    request.buttons = std::move(buttons);
    // Button pictures are an installer option, for the box as for the pages.
    if (!Wizard().ButtonPictures()) {
        for (MessageBoxButton& button : request.buttons) button.picture = 0;
    }
    MessageBoxIcons icons{Process().smallIcon, nullptr};
    return ShowMessageBox(owner.value_or(Wizard().Owner()), request, icons);
}

}  // namespace

int ShowInstallerMessage(std::u16string_view text, std::u16string_view caption, UINT flags,
                         std::optional<HWND> owner) {
    if (Process().options.silent) return IDOK;
    return Ask(text, caption, flags, InstallerMessageButtons(flags, Wizard().Texts()), owner);
}

bool AskOkCancel(std::u16string_view text, std::u16string_view caption, UINT flags, std::optional<HWND> owner) {
    if (Process().options.silent) return true;
    return Ask(text, caption, WithQuestionIcon(flags), OkCancelButtons(Wizard().Texts()), owner) == IDOK;
}

bool AskYesNo(std::u16string_view text, std::u16string_view caption, UINT flags) {
    if (Process().options.silent) return true;
    return Ask(text, caption, WithQuestionIcon(flags), YesNoButtons(Wizard().Texts()), std::nullopt) == IDYES;
}

void ShowFatalMessage(std::u16string_view text, std::u16string_view caption) {
    if (Process().options.silent) return;
    Ask(text, caption, kBoxIconStop, InstallerMessageButtons(0, Wizard().Texts()), HWND(nullptr));
}

}  // namespace palisade
