// Fonts and text measures for the wizard's windows.
#include "ui/win32/gdi_text_win32.h"

#include <algorithm>

#include "core/win32/wide.h"

namespace palisade {
namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

Size DrawnTextSize(HDC dc, HFONT font, std::u16string_view text, int maxWidth, UINT format) {
    SelectedObject selected(dc, font);
    RECT box{0, 0, std::max(maxWidth, 1), 0};
    std::wstring wide = ToWide(text);
    ::DrawTextW(dc, wide.c_str(), int(wide.size()), &box, format | DT_CALCRECT);
    return {box.right - box.left, box.bottom - box.top};
}

}  // namespace

bool FontInstalled(std::u16string_view face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::copy(face.begin(), face.end(), wanted.lfFaceName);
    bool found = false;
    ScreenDc dc;
    ::EnumFontFamiliesExW(dc.get(), &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

UniqueGdiObject CreateBackgroundFont(std::u16string_view face, int height) {
    LOGFONTW font{};
    font.lfHeight = -height;  // the characters, not the cell, are `height` pixels high
    font.lfWeight = FW_HEAVY;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = ANTIALIASED_QUALITY;
    std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1), font.lfFaceName);
    return UniqueGdiObject(::CreateFontIndirectW(&font));
}

int TextWidth(HDC dc, HFONT font, std::u16string_view text) {
    SelectedObject selected(dc, font);
    SIZE size{};
    std::wstring wide = ToWide(text);
    ::GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    return size.cx;
}

int CaptionWidth(HDC dc, HFONT font, std::u16string_view caption) {
    return DrawnTextSize(dc, font, caption, 0x7FFF, DT_SINGLELINE).width;
}

Size WrappedTextSize(HDC dc, HFONT font, std::u16string_view text, int maxWidth) {
    return DrawnTextSize(dc, font, text, maxWidth, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
}

}  // namespace palisade
