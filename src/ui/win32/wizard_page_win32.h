// One wizard page: its template (with the installer's dialog font), run
// modally or modeless, and what every page does alike: icons, centring,
// texts, the button row, caption and banner, the side and banner pictures,
// colours, and the command that brings it forward. Each page derives from
// WizardPageWindow and handles what is its own.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "ui/page_captions.h"
#include "ui/page_variant.h"

namespace palisade {

// The result when the template is missing or windows may not be made here.
inline constexpr int kPageFailed = -1;

class WizardPageWindow {
public:
    WizardPageWindow(PageKind kind, PageVariant variant) : m_kind(kind), m_variant(variant) {}
    virtual ~WizardPageWindow() = default;
    WizardPageWindow(const WizardPageWindow&) = delete;
    WizardPageWindow& operator=(const WizardPageWindow&) = delete;

    // Runs the page modally over the background window; the code it ended
    // with (1001, 1003 or its own), or kPageFailed.
    int Run(const std::string& templateName);
    // Creates the page without a modal loop; false when it could not be made.
    bool Create(const std::string& templateName);

    HWND Handle() const { return m_page; }
    PageVariant Variant() const { return m_variant; }
    PageKind Kind() const { return m_kind; }

protected:
    // Step 4 of the common initialisation: the page's texts and captions.
    virtual void SetTexts() {}
    // After the common initialisation, before the foreground command is posted.
    virtual void Prepare() {}
    // The foreground command: the page is brought forward; pages that move
    // the focus do it here.
    virtual void ComeForward();
    // An automatic run's page presses Next by itself shortly after it shows.
    virtual void AdvanceAutomatically();
    // The page's own messages; true when handled (with `result` for the dialog).
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // A command the common handling did not take.
    virtual void OnCommand(int id, int code, HWND control) {}
    // The buttons of the page's row with their picture numbers, and whether it is centred.
    virtual std::initializer_list<std::pair<int, int>> RowButtons() const;
    virtual bool RowCentred() const { return false; }
    // Called once the page window is gone.
    virtual void OnDestroyed() {}

    // Ends the page with `code` (a modeless page is destroyed).
    void End(int code);
    // Sets a control's text; transparent texts get what lies under them redrawn.
    void SetText(int id, std::u16string_view text);
    void SetCaption(std::u16string_view text);
    // Arranges the page's row again (after its captions changed).
    void ArrangeButtons();
    // Caption and banner lines for the variant; `bannerLine1` replaces the product name.
    void Decorate(const std::optional<std::u16string>& bannerLine1 = std::nullopt);
    HWND Item(int id) const { return ::GetDlgItem(m_page, id); }
    std::u16string ItemText(int id) const;
    // Browse (on the folder and start-menu pages) is not in the button row:
    // it gets its caption, and its picture when buttons carry pictures, here.
    void SetUpBrowse(const std::u16string& caption);

private:
    static INT_PTR CALLBACK Procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void Centre();
    void SetUpPictures();
    void PaintBackground(HDC dc);
    std::optional<INT_PTR> ColourStatic(HDC dc, HWND control);

    PageKind m_kind;
    PageVariant m_variant;
    HWND m_page = nullptr;
    HWND m_previousTop = nullptr;
    bool m_modeless = false;
};

}  // namespace palisade
