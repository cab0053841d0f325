// Pictures on the screen: the stub's own artwork (stored xz-compressed in the
// resources and decoded once), bitmaps made from pictures, and drawing a
// picture stretched into a rectangle.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "core/win32/unique_handle.h"
#include "ui/dib_picture.h"
#include "ui/geometry.h"

namespace palisade {

// Picture resource `id` of the stub (IDB_...), decoded on first use and
// kept; null when the resource is missing or damaged.
const DibPicture* StubPicture(int id);

// The header and palette the drawing functions take, with the picture's own
// palette or `palette` in its place.
class DibHeader {
public:
    explicit DibHeader(const DibPicture& picture, const std::vector<PaletteEntry>* palette = nullptr);
    const BITMAPINFO* get() const { return reinterpret_cast<const BITMAPINFO*>(m_bytes.data()); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// A DIB section holding the picture (32-bit pictures keep their alpha bytes).
UniqueGdiObject CreatePictureBitmap(const DibPicture& picture);

// Draws the whole picture into `target` with the raster operation `rop`,
// optionally with another palette; false when the system refused.
bool StretchPicture(HDC dc, const DibPicture& picture, const Rect& target, DWORD rop, int stretchMode,
                    const std::vector<PaletteEntry>* palette = nullptr);

}  // namespace palisade
