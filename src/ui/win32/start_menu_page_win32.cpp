// The start-menu page: the folder the shortcuts go to, as a name below the
// start menu's programs folder; Next only for a valid name, and Browse in
// the per-user or all-users programs folder.
#include <windows.h>

#include "core/message_numbers.h"
#include "core/win32/file_system.h"
#include "core/win32/folder_browser.h"
#include "ui/entry_rules.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

class StartMenuPage final : public WizardPageWindow {
public:
    StartMenuPage(PageVariant variant, std::u16string& name, const std::u16string& programsFolder)
        : WizardPageWindow(PageKind::StartMenu, variant), m_name(name), m_programsFolder(programsFolder) {}

private:
    HWND Edit() const { return Item(IDC_FOLDER_EDIT); }

    void SetTexts() override {
        PageTexts texts = Wizard().Texts();
        PageMessageNumbers numbers = MessagesOf(PageKind::StartMenu);
        SetText(IDC_PAGE_TEXT, texts.Message(numbers.text));
        ::SendMessageW(Edit(), EM_LIMITTEXT, kMaxFolderEntryLength, 0);
        SetText(IDC_FOLDER_EDIT, m_name);
        SetText(IDC_NEXT, texts.Message(numbers.next));
        SetText(IDC_CANCEL, texts.Message(numbers.cancel));
        SetUpBrowse(texts.Message(Msg::kBrowseButton));
    }

    void Prepare() override { Validate(); }

    void ComeForward() override {
        WizardPageWindow::ComeForward();
        ::SetFocus(Edit());
    }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR&) override {
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_NEXT && lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
            m_name = ItemText(IDC_FOLDER_EDIT);
        }
        return false;
    }

    void OnCommand(int id, int code, HWND) override {
        if (id == IDC_FOLDER_EDIT && code == EN_CHANGE) {
            Validate();
        } else if (id == IDC_BROWSE && code == BN_CLICKED) {
            Browse();
        }
    }

    // An invalid name disables Next instead of raising a message.
    void Validate() { ::EnableWindow(Item(IDC_NEXT), IsValidStartMenuName(ItemText(IDC_FOLDER_EDIT))); }

    void Browse() {
        FolderBrowserRequest request;
        request.prompt = Wizard().Message(Msg::kStartMenuText);
        request.rootFolder = m_programsFolder;
        const std::u16string current = ItemText(IDC_FOLDER_EDIT);
        const std::u16string start = current.empty() ? m_programsFolder : m_programsFolder + u"\\" + current;
        request.startFolder = FolderExists(start) ? start : m_programsFolder;
        request.newFolderButton = true;
        if (std::optional<std::u16string> picked = BrowseForFolder(Handle(), request)) {
            if (std::optional<std::u16string> name = StartMenuNameOf(*picked, m_programsFolder)) {
                SetText(IDC_FOLDER_EDIT, *name);
            }
        }
        ::SetFocus(Edit());
    }

    std::u16string& m_name;
    const std::u16string& m_programsFolder;
};

}  // namespace

PageAnswer ShowStartMenuPage(std::u16string& name, const std::u16string& programsFolder) {
    const PageVariant variant = Wizard().setup.variants.startMenu;
    std::optional<std::string> templateName = PageTemplateName(PageFamily::StartMenu, variant);
    if (!templateName) return PageAnswer::Failed;
    std::u16string chosen = name;
    StartMenuPage page(variant, chosen, programsFolder);
    const int result = page.Run(*templateName);
    if (result == kPageFailed) return PageAnswer::Failed;
    if (result != IDC_NEXT) return PageAnswer::Cancel;
    name = chosen;
    return PageAnswer::Next;
}

}  // namespace palisade
