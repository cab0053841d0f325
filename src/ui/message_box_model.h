// The installer's own message box as data: its flags, the buttons a request
// shows and which is the default, and how a request maps onto the system's
// message box when the dialog cannot be made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/geometry.h"
#include "ui/page_texts.h"

namespace palisade {

// Flag bits of a request.
inline constexpr std::uint32_t kBoxButtonSetMask = 0x0000000F;
inline constexpr std::uint32_t kBoxIconMask = 0x000000F0;
inline constexpr std::uint32_t kBoxIconStop = 0x10;
inline constexpr std::uint32_t kBoxIconQuestion = 0x20;
inline constexpr std::uint32_t kBoxIconExclamation = 0x30;
inline constexpr std::uint32_t kBoxIconInformation = 0x40;
inline constexpr std::uint32_t kBoxDefaultMask = 0x00000F00;
inline constexpr std::uint32_t kBoxSystemModal = 0x00001000;
inline constexpr std::uint32_t kBoxHelp = 0x00004000;
inline constexpr std::uint32_t kBoxTopmost = 0x00040000;
inline constexpr std::uint32_t kBoxOwnWidths = 0x01000000;
inline constexpr std::uint32_t kBoxNarrowText = 0x02000000;
inline constexpr std::uint32_t kBoxNoClose = 0x04000000;
inline constexpr std::uint32_t kBoxYesToAll = 0x08000000;
inline constexpr std::uint32_t kBoxNoToAll = 0x10000000;
inline constexpr std::uint32_t kBoxPlaySound = 0x40000000;

// Result ids; custom buttons return their own.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultAbort = 3;
inline constexpr int kResultRetry = 4;
inline constexpr int kResultIgnore = 5;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;
inline constexpr int kResultTryAgain = 10;  // "&Retry" of set 6
inline constexpr int kResultContinue = 11;
inline constexpr int kResultYesToAll = 19;
inline constexpr int kResultNoToAll = 20;
inline constexpr int kResultNoWindow = int(0x80000000u);

// Button pictures (bitmap resources).
inline constexpr int kPictureNext = 4;
inline constexpr int kPictureCancel = 5;
inline constexpr int kPictureNoToAll = 7;
inline constexpr int kPictureYesToAll = 8;

struct MessageBoxButton {
    int resultId = 0;
    std::u16string caption;
    int picture = 0;  // > 0: picture shown left of the caption, with a space before the caption
};
bool operator==(const MessageBoxButton& a, const MessageBoxButton& b);

// Button alignment codes.
inline constexpr int kAlignButtonsLeft = 96;
inline constexpr int kAlignButtonsCentre = 97;

// A request as the caller fills it (the window icon and a custom icon's
// handle stay with the Win32 layer; `customIconSize` says one is given).
struct MessageBoxRequest {
    std::u16string text;
    std::u16string caption;
    std::uint32_t flags = 0;
    std::vector<MessageBoxButton> buttons;  // empty: the flags' button set
    double fontPoints = 0;                  // 0: the system's message font size
    std::u16string fontFace;                // empty: the system's message font face
    Colour textColour = kColourNotSet;
    Colour backgroundColour = kColourNotSet;
    bool hasCustomIcon = false;
    Size customIconSize;  // 0: the system's icon size
    Size pictureSize;     // 0,0: 0.55 of the button height
    int buttonAlignment = 0;  // 96 left, 97 centred, other right
    std::u16string footerText;
    bool footerChecked = false;
    std::optional<Point> position;  // top-left corner; otherwise centred over the owner
};

// The buttons a request shows, in order: its own, or the set of its flags
// (with "Yes to all" and "No to all" in sets 3 and 4 when asked), then
// "&Help" when asked, whose id is one above the highest other id.
std::vector<MessageBoxButton> ButtonsFor(const MessageBoxRequest& request);

// Index of the default button: 0x100 the second ... 0x500 the sixth, else
// (and when there is no such button) the first.
std::size_t DefaultButtonIndex(std::uint32_t flags, std::size_t buttonCount);

// The Close item of the system menu is disabled on request and whenever the
// box has fewer than two buttons.
bool CloseDisabled(std::uint32_t flags, std::size_t buttonCount);

// The icon type a box shows (0x10 .. 0x40), or nothing.
std::optional<std::uint32_t> IconType(std::uint32_t flags);

// The system message box's type for the fallback: the nearest standard
// button set plus the icon, default-button, modality, help and topmost bits.
std::uint32_t SystemBoxType(const MessageBoxRequest& request);
// The request's result for the system box's answer (set 7 is shown as OK /
// Cancel, whose answers mean Continue and Abort).
int ResultFromSystemBox(std::uint32_t flags, int systemResult);

// The buttons of the installer's wrappers.
std::vector<MessageBoxButton> InstallerMessageButtons(std::uint32_t flags, const PageTexts& texts);
std::vector<MessageBoxButton> OkCancelButtons(const PageTexts& texts);
std::vector<MessageBoxButton> YesNoButtons(const PageTexts& texts);
// `buttons` with every empty caption (a message the catalogue lacks) replaced
// by the standard caption of its result id, so that no button is blank.
std::vector<MessageBoxButton> WithStandardCaptions(std::vector<MessageBoxButton> buttons);
// The wrappers' question icon replaces whatever icon the flags held.
inline std::uint32_t WithQuestionIcon(std::uint32_t flags) { return (flags & ~kBoxIconMask) | kBoxIconQuestion; }

}  // namespace palisade
