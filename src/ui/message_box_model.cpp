// Buttons, default button and system fallback of the installer's message box.
#include "ui/message_box_model.h"

#include <algorithm>
#include <utility>

namespace palisade {
namespace {

// System message box button sets (the same numbers as ours for sets 0 to 6).
constexpr std::uint32_t kSystemOk = 0;
constexpr std::uint32_t kSystemOkCancel = 1;
constexpr std::uint32_t kSystemAbortRetryIgnore = 2;
constexpr std::uint32_t kSystemYesNoCancel = 3;
constexpr std::uint32_t kSystemYesNo = 4;
constexpr std::uint32_t kSystemRetryCancel = 5;
constexpr std::uint32_t kSystemCancelTryContinue = 6;
constexpr std::uint32_t kContinueAbortSet = 7;
// The highest default-button value the system box knows (the fourth button).
constexpr std::uint32_t kSystemDefaultMask = 0x300;

std::vector<MessageBoxButton> YesNoSet(std::uint32_t flags, bool withCancel) {
    std::vector<MessageBoxButton> buttons = {{kResultYes, u"&Yes"}};
    if (flags & kBoxYesToAll) buttons.push_back({kResultYesToAll, u"Yes to all"});
    buttons.push_back({kResultNo, u"&No"});
    if (flags & kBoxNoToAll) buttons.push_back({kResultNoToAll, u"No to all"});
    if (withCancel) buttons.push_back({kResultCancel, u"&Cancel"});
    return buttons;
}

std::vector<MessageBoxButton> StandardSet(std::uint32_t flags) {
    switch (flags & kBoxButtonSetMask) {
        case 1: return {{kResultOk, u"&OK"}, {kResultCancel, u"&Cancel"}};
        case 2: return {{kResultAbort, u"&Abort"}, {kResultRetry, u"&Retry"}, {kResultIgnore, u"&Ignore"}};
        case 3: return YesNoSet(flags, true);
        case 4: return YesNoSet(flags, false);
        case 5: return {{kResultRetry, u"&Retry"}, {kResultCancel, u"&Cancel"}};
        case 6: return {{kResultCancel, u"&Cancel"}, {kResultTryAgain, u"&Retry"}, {kResultContinue, u"Continue"}};
        case 7: return {{kResultContinue, u"&Continue"}, {kResultAbort, u"&Abort"}};
        default: return {{kResultOk, u"OK"}};  // set 0 and the unused sets 8 to 15
    }
}

bool HasResult(const std::vector<MessageBoxButton>& buttons, int result) {
    return std::any_of(buttons.begin(), buttons.end(),
                       [result](const MessageBoxButton& button) { return button.resultId == result; });
}

// The system set nearest to a list of custom buttons.
std::uint32_t SystemSetFor(const std::vector<MessageBoxButton>& buttons) {
    auto has = [&](int result) { return HasResult(buttons, result); };
    if (has(kResultAbort) && has(kResultRetry) && has(kResultIgnore)) return kSystemAbortRetryIgnore;
    if (has(kResultRetry) && has(kResultCancel)) return kSystemRetryCancel;
    if (has(kResultYes) && has(kResultNo)) return has(kResultCancel) ? kSystemYesNoCancel : kSystemYesNo;
    if (has(kResultCancel)) return kSystemOkCancel;
    return kSystemOk;
}

}  // namespace

bool operator==(const MessageBoxButton& a, const MessageBoxButton& b) {
    return a.resultId == b.resultId && a.caption == b.caption && a.picture == b.picture;
}

std::vector<MessageBoxButton> ButtonsFor(const MessageBoxRequest& request) {
    std::vector<MessageBoxButton> buttons = request.buttons.empty() ? StandardSet(request.flags) : request.buttons;
    if (request.flags & kBoxHelp) {
        int highest = 0;
        for (const MessageBoxButton& button : buttons) highest = std::max(highest, button.resultId);
        buttons.push_back({highest + 1, u"&Help"});
    }
    return buttons;
}

std::size_t DefaultButtonIndex(std::uint32_t flags, std::size_t buttonCount) {
    std::size_t index = (flags & kBoxDefaultMask) >> 8;
    return index <= 5 && index < buttonCount ? index : 0;
}

bool CloseDisabled(std::uint32_t flags, std::size_t buttonCount) { return (flags & kBoxNoClose) || buttonCount < 2; }

std::optional<std::uint32_t> IconType(std::uint32_t flags) {
    std::uint32_t icon = flags & kBoxIconMask;
    if (icon >= kBoxIconStop && icon <= kBoxIconInformation) return icon;
    return std::nullopt;
}

std::uint32_t SystemBoxType(const MessageBoxRequest& request) {
    const std::uint32_t set = request.flags & kBoxButtonSetMask;
    std::uint32_t systemSet = kSystemOk;
    if (set >= kSystemOkCancel && set <= kSystemCancelTryContinue) {
        systemSet = set;
    } else if (set == kContinueAbortSet) {
        systemSet = kSystemOkCancel;
    } else if (set == 0 && !request.buttons.empty()) {
        systemSet = SystemSetFor(request.buttons);
    }
    // Only bits the system box knows: our own option bits would mean other
    // things to it.
    const std::uint32_t defaultButton = request.flags & kBoxDefaultMask;
    return systemSet | IconType(request.flags).value_or(0) | (defaultButton <= kSystemDefaultMask ? defaultButton : 0) |
           (request.flags & (kBoxSystemModal | kBoxHelp | kBoxTopmost));
}

int ResultFromSystemBox(std::uint32_t flags, int systemResult) {
    if ((flags & kBoxButtonSetMask) == kContinueAbortSet) {
        if (systemResult == kResultOk) return kResultContinue;
        if (systemResult == kResultCancel) return kResultAbort;
    }
    return systemResult;
}

std::vector<MessageBoxButton> InstallerMessageButtons(std::uint32_t flags, const PageTexts& texts) {
    switch (flags & kBoxButtonSetMask) {
        case 0: return {{kResultOk, u"OK", kPictureNext}};
        case 4: {
            std::vector<MessageBoxButton> buttons = {{kResultYes, texts.Message(79), kPictureNext}};
            if (flags & kBoxYesToAll) buttons.push_back({kResultYesToAll, texts.Message(115), kPictureYesToAll});
            buttons.push_back({kResultNo, texts.Message(80), kPictureCancel});
            return buttons;
        }
        default: return {};
    }
}

std::vector<MessageBoxButton> WithStandardCaptions(std::vector<MessageBoxButton> buttons) {
    static const std::pair<int, const char16_t*> kStandard[] = {
        {kResultOk, u"OK"},         {kResultCancel, u"Cancel"},     {kResultAbort, u"&Abort"},
        {kResultRetry, u"&Retry"},  {kResultIgnore, u"&Ignore"},    {kResultYes, u"&Yes"},
        {kResultNo, u"&No"},        {kResultTryAgain, u"&Retry"},   {kResultContinue, u"&Continue"},
        {kResultYesToAll, u"Yes to all"}, {kResultNoToAll, u"No to all"}};
    for (MessageBoxButton& button : buttons) {
        if (!button.caption.empty()) continue;
        for (const auto& [result, caption] : kStandard) {
            if (result == button.resultId) button.caption = caption;
        }
    }
    return buttons;
}

std::vector<MessageBoxButton> OkCancelButtons(const PageTexts& texts) {
    return {{kResultOk, u"OK", kPictureNext}, {kResultCancel, texts.Message(49), kPictureCancel}};
}

std::vector<MessageBoxButton> YesNoButtons(const PageTexts& texts) {
    return {{kResultYes, texts.Message(79), kPictureNext}, {kResultNo, texts.Message(80), kPictureCancel}};
}

}  // namespace palisade
