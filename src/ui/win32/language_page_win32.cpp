// The language page: the catalogue's languages in an owner-drawn list, the
// user's own preselected, and the page and background title switching
// language while the user browses.
#include <windows.h>

#include "core/message_numbers.h"
#include "core/win32/wide.h"
#include "ui/language_choice.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/gdi_text_win32.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

constexpr std::uint32_t kKeepBackgroundTitle = 0x400;  // `SettingsFlags2`

// The user's language as the system names it in English ("German (Germany)").
std::u16string SystemLanguageName() {
    wchar_t name[128] = {};
    if (!::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLISHDISPLAYNAME, name, 128) &&
        !::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, 128)) {
        return {};
    }
    return FromWide(name);
}

class LanguagePage final : public WizardPageWindow {
public:
    explicit LanguagePage(PageVariant variant) : WizardPageWindow(PageKind::Language, variant) {}

private:
    HWND List() const { return Item(IDC_LANGUAGE_LIST); }

    void SetTexts() override {
        MessageCatalogue& catalogue = Wizard().Catalogue();
        for (const std::u16string& name : catalogue.Languages()) {
            ::SendMessageW(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(name).c_str()));
        }
        std::size_t chosen = PreselectLanguage(catalogue.Languages(), SystemLanguageName());
        catalogue.SetLanguage(chosen);
        ::SendMessageW(List(), LB_SETCURSEL, chosen, 0);
        ::SendMessageW(List(), LB_SETITEMHEIGHT, 0, Measures().itemHeight);
        ApplyLanguage(false);
    }

    // The page and the background in the current language.
    void ApplyLanguage(bool changed) {
        WizardState& wizard = Wizard();
        if (!(wizard.setup.settingsFlags2 & kKeepBackgroundTitle)) wizard.setup.background.defaultTitle = wizard.Message(0);
        PageTexts texts = wizard.Texts();
        SetText(IDC_PAGE_TEXT, texts.Message(Msg::kLanguageText));
        SetText(IDC_NEXT, texts.Message(Msg::kNextButton));
        SetText(IDC_CANCEL, texts.Message(Msg::kCancelButton));
        ArrangeButtons();
        if (changed && Variant() == PageVariant::Banner) {
            Decorate(LanguageBannerLine1(texts));
        } else {
            Decorate();
        }
        if (wizard.background) ::InvalidateRect(wizard.background, nullptr, TRUE);
        ::InvalidateRect(Handle(), nullptr, FALSE);
    }

    void ComeForward() override {
        WizardPageWindow::ComeForward();
        ::SetFocus(List());
    }

    void Choose() {
        int selection = int(::SendMessageW(List(), LB_GETCURSEL, 0, 0));
        MessageCatalogue& catalogue = Wizard().Catalogue();
        catalogue.SetLanguage(ClampLanguage(selection, catalogue.LanguageCount()));
        End(IDC_NEXT);
    }

    void OnCommand(int id, int code, HWND) override {
        if (id != IDC_LANGUAGE_LIST) return;
        if (code == LBN_DBLCLK) return Choose();
        if (code != LBN_SELCHANGE) return;
        int selection = int(::SendMessageW(List(), LB_GETCURSEL, 0, 0));
        if (selection >= 0 && Wizard().Catalogue().SetLanguage(std::size_t(selection))) ApplyLanguage(true);
    }

    LanguageItemMetrics Measures() const {
        HFONT font = HFONT(::SendMessageW(List(), WM_GETFONT, 0, 0));
        ScreenDc dc;
        SelectedObject selected(dc.get(), font ? HGDIOBJ(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.get(), &metrics);
        return LanguageItemMeasures(metrics.tmHeight, metrics.tmAveCharWidth);
    }

    void DrawItem(const DRAWITEMSTRUCT& item) {
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const LanguageItemMetrics measures = Measures();
        if (item.itemID != UINT(-1)) {
            wchar_t text[256] = {};
            if (::SendMessageW(List(), LB_GETTEXTLEN, item.itemID, 0) < 256) {
                ::SendMessageW(List(), LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
            }
            ::SetBkMode(item.hDC, TRANSPARENT);
            ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT box = item.rcItem;
            box.left += measures.textIndent;
            ::DrawTextW(item.hDC, text, -1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        if (item.itemState & ODS_FOCUS) {
            Colour colour = FocusFrameColour(::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT));
            UniqueGdiObject pen(::CreatePen(PS_INSIDEFRAME, measures.focusPenWidth, colour));
            SelectedObject penSelected(item.hDC, pen.get());
            SelectedObject brushSelected(item.hDC, ::GetStockObject(NULL_BRUSH));
            const RECT& r = item.rcItem;
            ::Rectangle(item.hDC, r.left, r.top, r.right, r.bottom);
        }
    }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        switch (message) {
            case WM_COMMAND:
                // Next takes the selection as it is, clamped to the list.
                if (LOWORD(wParam) != IDC_NEXT || lParam == 0 || HIWORD(wParam) != BN_CLICKED) return false;
                Choose();
                result = TRUE;
                return true;
            case WM_MEASUREITEM: {
                auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                if (item->CtlID != IDC_LANGUAGE_LIST) return false;
                item->itemHeight = UINT(Measures().itemHeight);
                result = TRUE;
                return true;
            }
            case WM_DRAWITEM: {
                const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                if (item->CtlID != IDC_LANGUAGE_LIST) return false;
                DrawItem(*item);
                result = TRUE;
                return true;
            }
            default:
                return false;
        }
    }
};

}  // namespace

PageAnswer ShowLanguagePage() {
    if (Wizard().setup.silent) return PageAnswer::Next;  // a silent run shows nothing
    const PageVariant variant = Wizard().setup.variants.language;
    std::optional<std::string> name = PageTemplateName(PageFamily::Language, variant);
    if (!name) return PageAnswer::Failed;
    LanguagePage page(variant);
    int result = page.Run(*name);
    if (result == kPageFailed) return PageAnswer::Failed;
    return result == IDC_NEXT ? PageAnswer::Next : PageAnswer::Cancel;
}

}  // namespace palisade
