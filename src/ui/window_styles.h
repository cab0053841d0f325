// The window-style bits that the page templates and the message box use, with
// the values the Windows headers give them, so that portable code can describe
// and check templates (src/ui/win32/window_styles_check_win32.cpp compares
// every value with the system's headers at compile time).
#pragma once

#include <cstdint>

namespace palisade::style {

// Window styles.
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kBorder = 0x00800000;
inline constexpr std::uint32_t kVScroll = 0x00200000;
inline constexpr std::uint32_t kHScroll = 0x00100000;
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;

// Dialog styles.
inline constexpr std::uint32_t kDsFixedSys = 0x0008;
inline constexpr std::uint32_t kDsSetFont = 0x0040;
inline constexpr std::uint32_t kDsModalFrame = 0x0080;
inline constexpr std::uint32_t kDsSetForeground = 0x0200;
inline constexpr std::uint32_t kDsCenter = 0x0800;
inline constexpr std::uint32_t kDsSystemModal = 0x0002;

// Static controls.
inline constexpr std::uint32_t kSsLeft = 0x0000;
inline constexpr std::uint32_t kSsCenter = 0x0001;
inline constexpr std::uint32_t kSsRight = 0x0002;
inline constexpr std::uint32_t kSsIcon = 0x0003;
inline constexpr std::uint32_t kSsWhiteRect = 0x0006;
inline constexpr std::uint32_t kSsLeftNoWordWrap = 0x000C;
inline constexpr std::uint32_t kSsNoPrefix = 0x0080;
inline constexpr std::uint32_t kSsCenterImage = 0x0200;
inline constexpr std::uint32_t kSsSunken = 0x1000;

// Edit controls.
inline constexpr std::uint32_t kEsMultiLine = 0x0004;
inline constexpr std::uint32_t kEsPassword = 0x0020;
inline constexpr std::uint32_t kEsAutoVScroll = 0x0040;
inline constexpr std::uint32_t kEsAutoHScroll = 0x0080;
inline constexpr std::uint32_t kEsReadOnly = 0x0800;
inline constexpr std::uint32_t kEsWantReturn = 0x1000;

// Buttons.
inline constexpr std::uint32_t kBsPushButton = 0x0000;
inline constexpr std::uint32_t kBsDefPushButton = 0x0001;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x0003;

// List boxes.
inline constexpr std::uint32_t kLbsNotify = 0x0001;
inline constexpr std::uint32_t kLbsOwnerDrawFixed = 0x0010;
inline constexpr std::uint32_t kLbsHasStrings = 0x0040;

// Progress bars.
inline constexpr std::uint32_t kPbsSmooth = 0x0001;

}  // namespace palisade::style
