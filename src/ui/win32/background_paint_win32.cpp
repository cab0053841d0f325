// Painting the background window: the gradient (the system's, else drawn in
// bands, else one flat colour for the rest of the run), the picture in its
// stretch mode, and the title and copyright lines.
#include <windows.h>

#include <memory>
#include <optional>

#include "core/win32/system_library.h"
#include "core/win32/wide.h"
#include "ui/background_layout.h"
#include "ui/background_text.h"
#include "ui/win32/background_window_win32.h"
#include "ui/win32/gdi_text_win32.h"
#include "ui/win32/picture_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

HMODULE ImageLibrary() {
    static HMODULE library = LoadSystemLibraryForProcess(L"msimg32.dll");
    return library;
}

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

TRIVERTEX Vertex(int x, int y, Colour colour) {
    TRIVERTEX vertex{};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = COLOR16(RedOf(colour) << 8);
    vertex.Green = COLOR16(GreenOf(colour) << 8);
    vertex.Blue = COLOR16(BlueOf(colour) << 8);
    return vertex;
}

bool SystemGradient(HDC dc, const RECT& client, GradientColours colours) {
    static auto gradientFill = LibraryFunction<GradientFillFunction>(ImageLibrary(), "GradientFill");
    if (gradientFill == nullptr) return false;
    TRIVERTEX vertices[2] = {Vertex(client.left, client.top, colours.top),
                             Vertex(client.right, client.bottom, colours.bottom)};
    GRADIENT_RECT rect{0, 1};
    return gradientFill(dc, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V) != FALSE;
}

bool FillWithColour(HDC dc, const RECT& rect, Colour colour) {
    UniqueGdiObject brush(::CreateSolidBrush(colour));
    return brush && ::FillRect(dc, &rect, HBRUSH(brush.get())) != 0;
}

bool BandedGradient(HDC dc, const RECT& client, GradientColours colours) {
    for (const GradientBand& band : HandDrawnGradient(ToRect(client), colours.top, colours.bottom)) {
        RECT rect{band.rect.left, band.rect.top, band.rect.right, band.rect.bottom};
        if (!FillWithColour(dc, rect, band.colour)) return false;
    }
    return true;
}

// The settings' picture, decoded once.
const DibPicture* BackgroundPicture() {
    static std::unique_ptr<DibPicture> picture = [] {
        const std::vector<std::uint8_t>& bytes = Wizard().setup.background.picture;
        std::optional<DibPicture> read = ReadBmpFile(ByteView(bytes));
        return read ? std::make_unique<DibPicture>(std::move(*read)) : nullptr;
    }();
    return picture.get();
}

void TilePicture(HDC dc, const DibPicture& picture, const Rect& client) {
    const TileGrid grid = PictureTiles(client, {picture.width, picture.height});
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            Rect tile = Rect::At(client.left + column * picture.width, client.top + row * picture.height,
                                 picture.width, picture.height);
            StretchPicture(dc, picture, tile, SRCCOPY, COLORONCOLOR);
        }
    }
}

void BlendPicture(HDC dc, const DibPicture& picture, const Rect& target) {
    static auto alphaBlend = LibraryFunction<AlphaBlendFunction>(ImageLibrary(), "AlphaBlend");
    UniqueGdiObject bitmap = CreatePictureBitmap(picture);
    HDC memory = ::CreateCompatibleDC(dc);
    if (alphaBlend == nullptr || !bitmap || memory == nullptr) {
        if (memory) ::DeleteDC(memory);
        StretchPicture(dc, picture, target, SRCCOPY, HALFTONE);
        return;
    }
    {
        SelectedObject selected(memory, bitmap.get());
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        alphaBlend(dc, target.left, target.top, target.Width(), target.Height(), memory, 0, 0, picture.width,
                   picture.height, blend);
    }
    ::DeleteDC(memory);
}

void DrawPicture(HDC dc, const Rect& client) {
    const BackgroundSettings& background = Wizard().setup.background;
    const DibPicture* picture = BackgroundPicture();
    if (picture == nullptr) return;
    const BackgroundPicturePlan plan = PlanBackgroundPicture(client, {picture->width, picture->height},
                                                             background.bitmapSize, background.stretchMode);
    switch (plan.kind) {
        case BackgroundPicturePlan::Kind::None: return;
        case BackgroundPicturePlan::Kind::Tiled: return TilePicture(dc, *picture, client);
        case BackgroundPicturePlan::Kind::Stretched: break;
    }
    if (picture->bitsPerPixel == 32) return BlendPicture(dc, *picture, plan.rect);
    const std::int32_t index = background.bitmapTpi;
    if (index != -1 && !picture->palette.empty()) {
        // The transparent entry lets the gradient show: a mask keeps it and
        // clears the rest, then the picture with that entry black is ORed on.
        std::vector<PaletteEntry> mask = TransparencyMask(picture->palette.size(), index);
        std::vector<PaletteEntry> blackened = WithEntryBlack(picture->palette, index);
        StretchPicture(dc, *picture, plan.rect, SRCAND, COLORONCOLOR, &mask);
        StretchPicture(dc, *picture, plan.rect, SRCPAINT, COLORONCOLOR, &blackened);
        return;
    }
    StretchPicture(dc, *picture, plan.rect, SRCCOPY, HALFTONE);
}

void DrawTextLine(HDC dc, const BackgroundText& text, const Rect& client) {
    const int pixelsPerInch = ::GetDeviceCaps(dc, LOGPIXELSY);
    auto measure = [dc](std::u16string_view face, int height, std::u16string_view line) {
        UniqueGdiObject font = CreateBackgroundFont(face, height);
        return font ? TextWidth(dc, HFONT(font.get()), line) : 0;
    };
    std::optional<TextLinePlan> plan =
        PlanBackgroundText(text, client, pixelsPerInch, [](std::u16string_view face) { return FontInstalled(face); },
                           measure);
    if (!plan) return;
    UniqueGdiObject font = CreateBackgroundFont(plan->face, plan->font.height);
    if (!font) return;
    SelectedObject selected(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    auto drawAll = [&](int offset, Colour colour) {
        ::SetTextColor(dc, colour);
        for (const PlacedLine& line : plan->lines) {
            std::wstring wide = ToWide(line.text);
            ::TextOutW(dc, line.origin.x + offset, line.origin.y + offset, wide.c_str(), int(wide.size()));
        }
    };
    if (plan->font.shadowOffset > 0) drawAll(plan->font.shadowOffset, 0);
    drawAll(0, text.colour);
}

}  // namespace

void EraseBackground(HWND window, HDC dc) {
    BackgroundSettings& background = Wizard().setup.background;
    RECT client{};
    ::GetClientRect(window, &client);
    const GradientColours colours = EffectiveGradient(background);
    if (!background.monoColor && !SystemGradient(dc, client, colours) && !BandedGradient(dc, client, colours)) {
        background.monoColor = true;  // for the rest of the run
    }
    if (background.monoColor) FillWithColour(dc, client, colours.top);
    DrawPicture(dc, ToRect(client));
}

void PaintBackgroundTexts(HWND window, HDC dc) {
    const BackgroundSettings& background = Wizard().setup.background;
    RECT client{};
    ::GetClientRect(window, &client);
    DrawTextLine(dc, TitleText(background), ToRect(client));
    DrawTextLine(dc, CopyrightText(background), ToRect(client));
}

}  // namespace palisade
