// The pictures on buttons, as image lists of the scaled stub pictures.
#include "ui/win32/button_pictures_win32.h"

#include <commctrl.h>

#include <map>
#include <utility>

#include "ui/win32/picture_win32.h"

namespace palisade {
namespace {

// Image lists are kept for the whole run: buttons only borrow them.
HIMAGELIST PictureList(int pictureId, int side) {
    static std::map<std::pair<int, int>, HIMAGELIST> lists;
    auto known = lists.find({pictureId, side});
    if (known != lists.end()) return known->second;
    HIMAGELIST list = nullptr;
    const DibPicture* picture = StubPicture(pictureId);
    std::optional<DibPicture> scaled = picture ? ScalePremultiplied(*picture, {side, side}) : std::nullopt;
    UniqueGdiObject bitmap = scaled ? CreatePictureBitmap(*scaled) : UniqueGdiObject();
    if (bitmap) {
        list = ::ImageList_Create(side, side, ILC_COLOR32, 1, 0);
        if (list && ::ImageList_Add(list, HBITMAP(bitmap.get()), nullptr) < 0) {
            ::ImageList_Destroy(list);
            list = nullptr;
        }
    }
    lists.emplace(std::make_pair(pictureId, side), list);
    return list;
}

}  // namespace

bool SetButtonPicture(HWND button, int pictureId, int side) {
    if (button == nullptr || side <= 0) return false;
    HIMAGELIST list = PictureList(pictureId, side);
    if (list == nullptr) return false;
    BUTTON_IMAGELIST images{};
    images.himl = list;
    images.margin = {2, 0, 0, 0};
    images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
    return ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)) != FALSE;
}

}  // namespace palisade
