// The installer's message box as data: button sets and their order, the
// default button, the Close item, the system fallback and the wrappers' buttons.
#include <gtest/gtest.h>

#include "ui/message_box_model.h"

namespace palisade {
namespace {

using Buttons = std::vector<MessageBoxButton>;

std::string Describe(const Buttons& buttons) {
    std::string text;
    for (const MessageBoxButton& b : buttons) {
        text += std::to_string(b.resultId) + ":" + std::string(b.caption.begin(), b.caption.end()) + "/" +
                std::to_string(b.picture) + " ";
    }
    return text;
}

MessageBoxRequest Request(std::uint32_t flags, Buttons buttons = {}) {
    MessageBoxRequest request;
    request.flags = flags;
    request.buttons = std::move(buttons);
    return request;
}

TEST(MessageBoxButtons, EachSetInItsOrder) {
    struct Case {
        std::uint32_t flags;
        Buttons buttons;
    } cases[] = {
        {0, {{1, u"OK"}}},
        {1, {{1, u"&OK"}, {2, u"&Cancel"}}},
        {2, {{3, u"&Abort"}, {4, u"&Retry"}, {5, u"&Ignore"}}},
        {3, {{6, u"&Yes"}, {7, u"&No"}, {2, u"&Cancel"}}},
        {3 | kBoxYesToAll | kBoxNoToAll,
         {{6, u"&Yes"}, {19, u"Yes to all"}, {7, u"&No"}, {20, u"No to all"}, {2, u"&Cancel"}}},
        {4 | kBoxNoToAll, {{6, u"&Yes"}, {7, u"&No"}, {20, u"No to all"}}},
        {4 | kBoxYesToAll, {{6, u"&Yes"}, {19, u"Yes to all"}, {7, u"&No"}}},
        {5, {{4, u"&Retry"}, {2, u"&Cancel"}}},
        {6, {{2, u"&Cancel"}, {10, u"&Retry"}, {11, u"Continue"}}},
        {7, {{11, u"&Continue"}, {3, u"&Abort"}}},
        {1 | kBoxYesToAll | kBoxNoToAll, {{1, u"&OK"}, {2, u"&Cancel"}}},  // only sets 3 and 4 have them
        {9, {{1, u"OK"}}},
        {1 | kBoxHelp, {{1, u"&OK"}, {2, u"&Cancel"}, {3, u"&Help"}}},
        {3 | kBoxYesToAll | kBoxHelp, {{6, u"&Yes"}, {19, u"Yes to all"}, {7, u"&No"}, {2, u"&Cancel"}, {20, u"&Help"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ButtonsFor(Request(c.flags)), c.buttons) << std::hex << c.flags << ": " << Describe(ButtonsFor(Request(c.flags)));
    }
}

TEST(MessageBoxButtons, CustomButtonsReplaceTheSetAndHelpTakesTheNextId) {
    Buttons custom = {{1001, u"Go", 4}, {5, u"Skip", 0}};
    EXPECT_EQ(ButtonsFor(Request(3, custom)), custom);
    Buttons withHelp = custom;
    withHelp.push_back({1002, u"&Help", 0});
    EXPECT_EQ(ButtonsFor(Request(3 | kBoxHelp, custom)), withHelp);
}

TEST(MessageBoxButtons, DefaultButtonAndCloseItem) {
    struct Case {
        std::uint32_t flags;
        std::size_t count, index;
    } cases[] = {
        {0x000, 3, 0}, {0x100, 3, 1}, {0x200, 3, 2}, {0x300, 3, 0},  // no fourth button
        {0x300, 4, 3}, {0x400, 5, 4}, {0x500, 6, 5}, {0x600, 6, 0}, {0xF00, 6, 0}, {0x100 | 3, 1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DefaultButtonIndex(c.flags, c.count), c.index) << std::hex << c.flags;

    EXPECT_TRUE(CloseDisabled(0, 1));
    EXPECT_TRUE(CloseDisabled(0, 0));
    EXPECT_FALSE(CloseDisabled(0, 2));
    EXPECT_TRUE(CloseDisabled(kBoxNoClose, 3));
}

TEST(MessageBoxIcon, OnlyTheFourIconTypes) {
    EXPECT_FALSE(IconType(0x01));
    EXPECT_EQ(IconType(0x10 | 3), 0x10u);
    EXPECT_EQ(IconType(0x40), 0x40u);
    EXPECT_FALSE(IconType(0x50));
    EXPECT_FALSE(IconType(0xF0));
    EXPECT_EQ(WithQuestionIcon(0x10 | 1), 0x21u) << "the question icon replaces the stop icon";
}

TEST(MessageBoxFallback, StandardSetsPassAndCustomButtonsFindTheNearestSet) {
    struct Case {
        std::uint32_t flags;
        Buttons buttons;
        std::uint32_t systemType;
    } cases[] = {
        {1, {}, 1}, {2, {}, 2}, {3, {}, 3}, {4, {}, 4}, {5, {}, 5}, {6, {}, 6},
        {7, {}, 1},                                        // Continue/Abort as OK/Cancel
        {0, {}, 0},
        {12, {}, 0},                                       // unused sets
        {4, {{1, u"x"}}, 4},                               // a set in the flags wins over the buttons
        {0, {{3, u"a"}, {4, u"r"}, {5, u"i"}}, 2},
        {0, {{4, u"r"}, {2, u"c"}, {3, u"a"}}, 5},         // no Ignore: Retry and Cancel
        {0, {{6, u"y"}, {7, u"n"}, {2, u"c"}}, 3},
        {0, {{6, u"y"}, {19, u"ya"}, {7, u"n"}}, 4},
        {0, {{1, u"o"}, {2, u"c"}}, 1},
        {0, {{1001, u"own"}}, 0},
        {0, {{3, u"a"}, {4, u"r"}}, 0},                    // Abort and Retry alone: OK
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemBoxType(Request(c.flags, c.buttons)), c.systemType) << std::hex << c.flags << " " << Describe(c.buttons);
    }
}

TEST(MessageBoxFallback, OnlyBitsTheSystemKnowsArePassed) {
    struct Case {
        std::uint32_t flags, systemType;
    } cases[] = {
        {1 | 0x30 | 0x200, 1 | 0x30 | 0x200},
        {1 | kBoxSystemModal | kBoxHelp | kBoxTopmost, 1 | kBoxSystemModal | kBoxHelp | kBoxTopmost},
        {1 | kBoxOwnWidths | kBoxNarrowText | kBoxNoClose | kBoxYesToAll | kBoxNoToAll | kBoxPlaySound, 1},
        {3 | 0x500, 3},   // a sixth default button is beyond the system box
        {3 | 0x400, 3},
        {3 | 0x300, 3 | 0x300},
        {1 | 0x50, 1},    // no such icon
    };
    for (const Case& c : cases) EXPECT_EQ(SystemBoxType(Request(c.flags)), c.systemType) << std::hex << c.flags;
}

TEST(MessageBoxFallback, AnswersOfTheContinueAbortSetAreMappedBack) {
    EXPECT_EQ(ResultFromSystemBox(7, 1), kResultContinue);
    EXPECT_EQ(ResultFromSystemBox(7, 2), kResultAbort);
    EXPECT_EQ(ResultFromSystemBox(1, 1), kResultOk);
    EXPECT_EQ(ResultFromSystemBox(1, 2), kResultCancel);
    EXPECT_EQ(ResultFromSystemBox(6, 10), kResultTryAgain);
}

TEST(MessageBoxWrappers, ButtonsFromTheCatalogueWithTheirPictures) {
    MessageCatalogue catalogue({u"English"}, 120);
    catalogue.SetText(49, 0, u"Cancel");
    catalogue.SetText(79, 0, u"Yes, <product>");
    catalogue.SetText(80, 0, u"No");
    catalogue.SetText(115, 0, u"Yes to all");
    PageTexts texts(catalogue, u"Demo", u"Demo app", u"Windows 10");

    EXPECT_EQ(InstallerMessageButtons(0, texts), (Buttons{{1, u"OK", 4}}));
    EXPECT_EQ(InstallerMessageButtons(4, texts), (Buttons{{6, u"Yes, Demo", 4}, {7, u"No", 5}}));
    EXPECT_EQ(InstallerMessageButtons(4 | kBoxYesToAll | kBoxNoToAll, texts),
              (Buttons{{6, u"Yes, Demo", 4}, {19, u"Yes to all", 8}, {7, u"No", 5}}));
    EXPECT_TRUE(InstallerMessageButtons(1, texts).empty()) << "other sets keep the standard buttons";
    EXPECT_EQ(OkCancelButtons(texts), (Buttons{{1, u"OK", 4}, {2, u"Cancel", 5}}));
    EXPECT_EQ(YesNoButtons(texts), (Buttons{{6, u"Yes, Demo", 4}, {7, u"No", 5}}));
}

TEST(MessageBoxWrappers, EmptyCatalogueCaptionsGetTheStandardOnes) {
    std::vector<MessageBoxButton> buttons = WithStandardCaptions(
        {{kResultYes, u"", 4}, {kResultYesToAll, u""}, {kResultNo, u"Nein"}, {kResultCancel, u""}, {99, u""}});
    EXPECT_EQ(buttons, (std::vector<MessageBoxButton>{{kResultYes, u"&Yes", 4}, {kResultYesToAll, u"Yes to all"},
                                                      {kResultNo, u"Nein"}, {kResultCancel, u"Cancel"}, {99, u""}}));
}

}  // namespace
}  // namespace palisade
