// Pictures on the screen: the stub's artwork, bitmaps and stretched drawing.
#include "ui/win32/picture_win32.h"

#include <cstring>
#include <map>
#include <memory>

#include "core/win32/process_state.h"

namespace palisade {
namespace {

std::optional<DibPicture> LoadStubPicture(int id) {
    HINSTANCE instance = Process().instance;
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return std::nullopt;
    return ReadPackedBmp(ByteView(static_cast<const std::uint8_t*>(bytes), ::SizeofResource(instance, found)));
}

}  // namespace

const DibPicture* StubPicture(int id) {
    static std::map<int, std::unique_ptr<DibPicture>> pictures;
    auto known = pictures.find(id);
    if (known == pictures.end()) {
        std::optional<DibPicture> loaded = LoadStubPicture(id);
        known = pictures.emplace(id, loaded ? std::make_unique<DibPicture>(std::move(*loaded)) : nullptr).first;
    }
    return known->second.get();
}

DibHeader::DibHeader(const DibPicture& picture, const std::vector<PaletteEntry>* palette) {
    const std::vector<PaletteEntry>& colours = palette ? *palette : picture.palette;
    m_bytes.assign(sizeof(BITMAPINFOHEADER) + colours.size() * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = picture.width;
    header.biHeight = picture.height;  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = WORD(picture.bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biClrUsed = DWORD(colours.size());
    std::memcpy(m_bytes.data(), &header, sizeof(header));
    for (std::size_t i = 0; i < colours.size(); ++i) {
        RGBQUAD quad{colours[i].blue, colours[i].green, colours[i].red, 0};
        std::memcpy(m_bytes.data() + sizeof(header) + i * sizeof(RGBQUAD), &quad, sizeof(quad));
    }
}

UniqueGdiObject CreatePictureBitmap(const DibPicture& picture) {
    DibHeader header(picture);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, header.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return UniqueGdiObject(bitmap);
    std::memcpy(bits, picture.bits.data(), picture.bits.size());
    ::GdiFlush();
    return UniqueGdiObject(bitmap);
}

bool StretchPicture(HDC dc, const DibPicture& picture, const Rect& target, DWORD rop, int stretchMode,
                    const std::vector<PaletteEntry>* palette) {
    DibHeader header(picture, palette);
    int previousMode = ::SetStretchBltMode(dc, stretchMode);
    POINT previousOrigin{};
    ::SetBrushOrgEx(dc, 0, 0, &previousOrigin);
    int lines = ::StretchDIBits(dc, target.left, target.top, target.Width(), target.Height(), 0, 0, picture.width,
                                picture.height, picture.bits.data(), header.get(), DIB_RGB_COLORS, rop);
    ::SetStretchBltMode(dc, previousMode);
    ::SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
    return lines > 0;  // 0 and GDI_ERROR (negative as an int) are failures
}

}  // namespace palisade
