// The pictures on buttons: one of the stub's button pictures (4 Next/OK,
// 5 Cancel, 6 Browse, 7 "No to all", 8 "Yes to all") scaled to a square and
// shown left of the caption.
#pragma once

#include <windows.h>

namespace palisade {

// Shows picture `pictureId` at `side` pixels on `button`; false when the
// picture or the image list could not be made (the caption stays alone).
bool SetButtonPicture(HWND button, int pictureId, int side);

}  // namespace palisade
