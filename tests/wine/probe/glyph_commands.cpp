// Probe command that tells whether the system draws real glyphs for a text
// in a given font, the way a dialog draws its controls' texts (GDI, with the
// system's font linking), or the missing-glyph box.
#include <windows.h>

#include <algorithm>
#include <set>
#include <vector>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

constexpr int kCell = 48;

// The pixels of one character drawn alone, black on white.
std::vector<std::uint8_t> Draw(HDC dc, wchar_t character) {
    RECT all{0, 0, kCell, kCell};
    ::FillRect(dc, &all, HBRUSH(::GetStockObject(WHITE_BRUSH)));
    ::TextOutW(dc, 4, 4, &character, 1);
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) pixels.push_back(::GetPixel(dc, x, y) == RGB(255, 255, 255) ? 0 : 1);
    }
    return pixels;
}

// `glyph-check FACE POINTS TEXT`: prints "ok", or "missing" and the code
// points (hex) that are drawn as nothing or as the box of a character no
// font has (U+E000, the private use area, is that character here).
int GlyphCheck(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 3) return 2;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kCell, kCell);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    int height = -::MulDiv(std::stoi(args[1]), ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    std::wstring face = ToWide(Utf8ToUtf16(args[0]));
    HFONT font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str());
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);

    std::vector<std::uint8_t> missingBox = Draw(dc, 0xE000);
    std::wstring text = ToWide(Utf8ToUtf16(args[2]));
    std::set<wchar_t> seen;
    std::string missing;
    for (wchar_t c : text) {
        if (c <= 0x20 || !seen.insert(c).second) continue;
        std::vector<std::uint8_t> pixels = Draw(dc, c);
        bool blank = std::find(pixels.begin(), pixels.end(), 1) == pixels.end();
        if (blank || pixels == missingBox) missing += " " + Utf16ToUtf8(ToU16Hex(unsigned(c), 4));
    }
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(font);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    out = missing.empty() ? "ok" : "missing" + missing;
    return missing.empty() ? 0 : 1;
}

// `font-face FACE POINTS`: prints the face the system picks for FACE in a
// dialog's font request (the default character set of the user's locale).
int FontFace(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    HDC dc = ::CreateCompatibleDC(nullptr);
    int height = -::MulDiv(std::stoi(args[1]), ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, ToWide(Utf8ToUtf16(args[0])).c_str());
    HGDIOBJ old = ::SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    std::string full;
    if (UINT size = ::GetOutlineTextMetricsW(dc, 0, nullptr)) {
        std::vector<std::uint8_t> buffer(size);
        auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        if (::GetOutlineTextMetricsW(dc, size, otm)) {
            full = Utf16ToUtf8(FromWide(reinterpret_cast<const wchar_t*>(buffer.data() + UINT_PTR(otm->otmpFullName))));
        }
    }
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    out = Utf16ToUtf8(FromWide(face)) + " (" + full + ") charset " + std::to_string(metrics.tmCharSet);
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("glyph-check", GlyphCheck);
PALISADE_PROBE_COMMAND("font-face", FontFace);

}  // namespace palisade::probe
