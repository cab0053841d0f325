// Compile-time proof that the portable window-style values are the system's.
#include <windows.h>
#include <commctrl.h>

#include "ui/window_styles.h"

namespace palisade::style {

static_assert(kPopup == WS_POPUP && kChild == WS_CHILD && kVisible == WS_VISIBLE && kCaption == WS_CAPTION);
static_assert(kBorder == WS_BORDER && kVScroll == WS_VSCROLL && kHScroll == WS_HSCROLL);
static_assert(kSysMenu == WS_SYSMENU && kTabStop == WS_TABSTOP && kGroup == WS_GROUP);
static_assert(kDsFixedSys == DS_FIXEDSYS && kDsSetFont == DS_SETFONT && kDsModalFrame == DS_MODALFRAME);
static_assert(kDsSetForeground == DS_SETFOREGROUND && kDsCenter == DS_CENTER && kDsSystemModal == DS_SYSMODAL);
static_assert(kSsLeft == SS_LEFT && kSsCenter == SS_CENTER && kSsRight == SS_RIGHT && kSsIcon == SS_ICON && kSsWhiteRect == SS_WHITERECT);
static_assert(kSsLeftNoWordWrap == SS_LEFTNOWORDWRAP && kSsNoPrefix == SS_NOPREFIX);
static_assert(kSsCenterImage == SS_CENTERIMAGE && kSsSunken == SS_SUNKEN);
static_assert(kEsMultiLine == ES_MULTILINE && kEsPassword == ES_PASSWORD && kEsAutoVScroll == ES_AUTOVSCROLL);
static_assert(kEsAutoHScroll == ES_AUTOHSCROLL && kEsReadOnly == ES_READONLY && kEsWantReturn == ES_WANTRETURN);
static_assert(kBsPushButton == BS_PUSHBUTTON && kBsDefPushButton == BS_DEFPUSHBUTTON);
static_assert(kBsAutoCheckBox == BS_AUTOCHECKBOX);
static_assert(kLbsNotify == LBS_NOTIFY && kLbsOwnerDrawFixed == LBS_OWNERDRAWFIXED && kLbsHasStrings == LBS_HASSTRINGS);
static_assert(kPbsSmooth == PBS_SMOOTH);

}  // namespace palisade::style
