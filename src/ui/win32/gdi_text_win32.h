// Fonts and text measures for the wizard's windows: whether a face is
// installed, a text's width on one line or its size when word-wrapped.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/win32/unique_handle.h"
#include "ui/geometry.h"

namespace palisade {

// Whether a font with this face (family or full name) is installed.
bool FontInstalled(std::u16string_view face);

// A heavy, antialiased TrueType font whose characters are `height` pixels
// high, for the background's title and copyright lines.
UniqueGdiObject CreateBackgroundFont(std::u16string_view face, int height);

// Width of `text` on one line in `font` ("&" shown as it is).
int TextWidth(HDC dc, HFONT font, std::u16string_view text);
// Width of a button caption in `font`: "&" marks the mnemonic and takes no room.
int CaptionWidth(HDC dc, HFONT font, std::u16string_view caption);
// Size of `text` word-wrapped at `maxWidth`, tabs expanded, "&" shown as it is.
Size WrappedTextSize(HDC dc, HFONT font, std::u16string_view text, int maxWidth);

// A screen device context for measuring, released when it goes.
class ScreenDc {
public:
    ScreenDc() : m_dc(::GetDC(nullptr)) {}
    ~ScreenDc() {
        if (m_dc) ::ReleaseDC(nullptr, m_dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (m_previous) ::SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace palisade
