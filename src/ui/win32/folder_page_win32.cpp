// The folder page: the installation folder in an edit, Browse with the
// system's folder browser, and the space the installation needs and finds,
// worked out again at every change of the edit.
#include <windows.h>

#include "core/message_numbers.h"
#include "core/win32/disk_space.h"
#include "core/win32/file_system.h"
#include "core/win32/folder_browser.h"
#include "core/win32/wide.h"
#include "payload/settings.h"
#include "payload/settings_flags.h"
#include "ui/entry_rules.h"
#include "ui/folder_space.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

constexpr std::uint32_t kNewFolderButton = 0x20;  // `SettingsFlags2`: the browser offers a new-folder button

class FolderPage final : public WizardPageWindow {
public:
    FolderPage(PageVariant variant, std::u16string& folder, const FolderPageSizes& sizes)
        : WizardPageWindow(PageKind::Folder, variant), m_folder(folder), m_sizes(sizes) {}

private:
    HWND Edit() const { return Item(IDC_FOLDER_EDIT); }

    void SetTexts() override {
        WizardState& wizard = Wizard();
        PageTexts texts = wizard.Texts();
        const bool startMenuFollows = (wizard.setup.settingsFlags2 & Flags2::kStartMenuPage) != 0;
        PageMessageNumbers numbers = MessagesOf(PageKind::Folder, startMenuFollows);
        SetText(IDC_PAGE_TEXT, texts.Message(numbers.text));
        ::SendMessageW(Edit(), EM_LIMITTEXT, kMaxFolderEntryLength, 0);
        SetText(IDC_FOLDER_EDIT, m_folder);
        SetText(IDC_NEXT, texts.Message(numbers.next));
        SetText(IDC_CANCEL, texts.Message(numbers.cancel));
        SetUpBrowse(texts.Message(Msg::kBrowseButton));
    }

    void Prepare() override { ::PostMessageW(Handle(), WM_COMMAND, IDM_RECOMPUTE_SPACE, 0); }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR&) override {
        // Next takes the edit's text before the page goes; the common handling ends it.
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_NEXT && lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
            m_folder = ItemText(IDC_FOLDER_EDIT);
        }
        return false;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (id == IDM_RECOMPUTE_SPACE && control == nullptr) {
            RecomputeSpace();
        } else if (id == IDC_FOLDER_EDIT && code == EN_CHANGE) {
            ::PostMessageW(Handle(), WM_COMMAND, IDM_RECOMPUTE_SPACE, 0);
        } else if (id == IDC_BROWSE && code == BN_CLICKED) {
            Browse();
        }
    }

    void Browse() {
        WizardState& wizard = Wizard();
        FolderBrowserRequest request;
        request.prompt = wizard.Message(Msg::kFolderPageText);
        for (const std::u16string& folder : BrowseStartCandidates(ItemText(IDC_FOLDER_EDIT))) {
            if (FolderExists(folder)) {
                request.startFolder = folder;
                break;
            }
        }
        request.newFolderButton = (wizard.setup.settingsFlags2 & kNewFolderButton) != 0;
        if (std::optional<std::u16string> picked = BrowseForFolder(Handle(), request)) {
            SetText(IDC_FOLDER_EDIT, *picked);
        }
        ::SetFocus(Edit());
    }

    void RecomputeSpace() {
        WizardState& wizard = Wizard();
        if (!(wizard.setup.installerOptions & kOptionShowDiskSpace)) return;
        const std::u16string folder = ItemText(IDC_FOLDER_EDIT);
        std::optional<char16_t> drive = DriveLetterOf(folder);
        const std::u16string root = drive ? std::u16string{*drive, u':', u'\\'} : std::u16string();
        const std::uint64_t cluster = drive ? ClusterSize(root).value_or(0) : 0;
        const std::uint64_t required = RequiredSpace(m_sizes.fixedSize, m_sizes.fileSizes, cluster, m_sizes.reserveSize);
        std::optional<std::int64_t> free;
        if (drive) {
            if (Win32Result<std::uint64_t> bytes = FreeBytesForUser(root); bytes.ok()) free = std::int64_t(*bytes);
        }
        SpaceLabels labels = FolderSpaceLabels(folder, required, free, wizard.Message(Msg::kSpaceNeededLabel),
                                               wizard.Message(Msg::kSpaceFreeLabel));
        SetText(IDC_SPACE_REQUIRED, labels.required);
        if (labels.available) SetText(IDC_SPACE_AVAILABLE, *labels.available);
    }

    std::u16string& m_folder;
    const FolderPageSizes& m_sizes;
};

}  // namespace

PageAnswer ShowFolderPage(std::u16string& folder, const FolderPageSizes& sizes) {
    const PageVariant variant = Wizard().setup.variants.folder;
    std::optional<std::string> name = PageTemplateName(PageFamily::Folder, variant);
    if (!name) return PageAnswer::Failed;
    std::u16string chosen = folder;
    FolderPage page(variant, chosen, sizes);
    const int result = page.Run(*name);
    if (result == kPageFailed) return PageAnswer::Failed;
    if (result != IDC_NEXT) return PageAnswer::Cancel;
    folder = chosen;
    return PageAnswer::Next;
}

}  // namespace palisade
