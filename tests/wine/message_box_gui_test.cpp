// The program's own message box under Wine, shown by the probe and worked by
// the spy: its buttons and their order, the default button, the Close item
// of a lone button, the footer check box, how long texts widen and wrap it,
// and the system's box it falls back to.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "wizard_gui_support.h"

namespace palisade::wine {
namespace {

constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;

struct Box {
    std::unique_ptr<GuiRun> gui;
    std::uintptr_t window = 0;
    SpyWindow shown;
};

// The probe shows one box; the spy finds and describes it.
Box ShowBox(const std::string& command, const std::vector<std::string>& arguments, const std::string& caption) {
    // Each box its own program name, so that each spy follows its own box.
    static int shown = 0;
    const std::filesystem::path probe = UniqueCopy(ProbePath(), "box-probe-" + std::to_string(++shown));
    std::vector<std::string> all{command};
    all.insert(all.end(), arguments.begin(), arguments.end());
    Box box;
    box.gui = std::make_unique<GuiRun>(probe, all);
    if (!box.gui->Ready()) return box;
    box.window = box.gui->WaitForDialog(caption);
    if (box.window) box.shown = box.gui->spy().Describe(box.window);
    return box;
}

std::string Answer(Box& box) { return box.gui->run().Wait(std::chrono::seconds(60)).stdoutText; }

std::vector<const SpyControl*> ButtonsLeftToRight(const SpyWindow& window) {
    std::vector<const SpyControl*> buttons;
    for (const SpyControl& control : window.controls) {
        if (control.className == "Button" && (control.style & 0xF) <= 1) buttons.push_back(&control);
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const SpyControl* a, const SpyControl* b) { return a->rect.x < b->rect.x; });
    return buttons;
}

TEST(MessageBoxGui, ButtonSetsKeepTheirOrderAndALoneButtonCannotBeClosed) {
    // Set 3 with both "to all" buttons, help, and the third button as the default.
    Box all = ShowBox("message-box", {"0x18004223", "Replace the file?", "Box All"}, "Box All");
    if (!all.gui || !all.gui->Ready()) GTEST_SKIP() << "no X server for the test";
    std::vector<const SpyControl*> buttons = ButtonsLeftToRight(all.shown);
    std::vector<std::pair<int, std::string>> seen;
    for (const SpyControl* button : buttons) seen.emplace_back(button->id, button->text);
    EXPECT_EQ(seen, (std::vector<std::pair<int, std::string>>{
                        {6, "&Yes"}, {19, "Yes to all"}, {7, "&No"}, {20, "No to all"}, {2, "&Cancel"}, {21, "&Help"}}));
    for (const SpyControl* button : buttons) {
        EXPECT_EQ(button->rect.width, buttons.front()->rect.width) << "every button takes the widest width";
        EXPECT_EQ(bool(button->style & 1), button->id == 7) << "the third button is the default";
    }
    EXPECT_EQ(all.gui->spy().FocusedControl(all.window), 7);
    EXPECT_TRUE(all.gui->spy().Click(all.window, 20));
    EXPECT_EQ(Answer(all), "result 20 footer 0");

    // One button: the Close item and Escape do nothing; Enter presses it. The
    // footer check box keeps the state the user gave it.
    Box lone = ShowBox("message-box", {"0x40", "Done.", "Box Lone", "footer=Do not show this again"}, "Box Lone");
    const SpyControl* footer = lone.shown.Find(20002);
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->text, "Do not show this again");
    EXPECT_EQ(ButtonsLeftToRight(lone.shown).size(), 1u);
    EXPECT_EQ(lone.shown.Control(1).text, "OK");
    EXPECT_TRUE(lone.gui->spy().Click(lone.window, 20002));
    lone.gui->spy().Close(lone.window);
    lone.gui->spy().Key(lone.window, 1, kVkEscape);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_FALSE(lone.gui->run().Finished()) << "a lone button's box cannot be closed";
    lone.gui->spy().Key(lone.window, 1, kVkReturn);
    EXPECT_EQ(Answer(lone), "result 1 footer 1");

    // Two buttons with Cancel: Escape is Cancel.
    Box twoButtons = ShowBox("message-box", {"0x1", "Go on?", "Box Escape"}, "Box Escape");
    twoButtons.gui->spy().Key(twoButtons.window, 1, kVkEscape);
    EXPECT_EQ(Answer(twoButtons), "result 2 footer 0");
}

TEST(MessageBoxGui, LongTextsWidenTheBoxToHalfTheScreenOrAThirdAndWrap) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "The quick brown fox jumps over the lazy dog. ";
    Box wide = ShowBox("message-box", {"0x30", text, "Box Wide"}, "Box Wide");
    if (!wide.gui || !wide.gui->Ready()) GTEST_SKIP() << "no X server for the test";
    ScreenshotOf("message-box-wide", wide.shown.rect, 8);
    Box narrow = ShowBox("message-box", {"0x02000030", text, "Box Narrow"}, "Box Narrow");
    Box shortText = ShowBox("message-box", {"0x30", "Short.", "Box Short"}, "Box Short");
    const SpyControl* wideText = wide.shown.Find(20001);
    const SpyControl* narrowText = narrow.shown.Find(20001);
    const SpyControl* shortLine = shortText.shown.Find(20001);
    ASSERT_TRUE(wideText && narrowText && shortLine);
    // The screen is 1280 pixels wide; the icon takes its room from the limit.
    EXPECT_LE(wideText->rect.width, 640);
    EXPECT_GT(wideText->rect.width, 480);
    EXPECT_LE(narrowText->rect.width, 427);
    EXPECT_GT(narrowText->rect.width, 300);
    EXPECT_GT(wideText->rect.height, 3 * shortLine->rect.height) << "the text wraps";
    EXPECT_GT(narrowText->rect.height, wideText->rect.height);
    EXPECT_LT(shortText.shown.rect.width, narrow.shown.rect.width);
    EXPECT_LT(narrow.shown.rect.width, wide.shown.rect.width);
    for (Box* box : {&wide, &narrow, &shortText}) {
        box->gui->spy().Key(box->window, 1, kVkReturn);
        EXPECT_EQ(Answer(*box), "result 1 footer 0");
    }
}

TEST(MessageBoxGui, TheSystemBoxItFallsBackToGetsTheNearestSetAndMapsTheAnswers) {
    // Custom Abort, Retry and Ignore buttons: the system's Abort/Retry/Ignore set.
    Box custom = ShowBox("system-box", {"0", "Copy failed.", "Box System", "3:Stop", "4:Again", "5:Skip"}, "Box System");
    if (!custom.gui || !custom.gui->Ready()) GTEST_SKIP() << "no X server for the test";
    for (int id : {3, 4, 5}) EXPECT_NE(custom.shown.Find(id), nullptr) << id;
    EXPECT_TRUE(custom.gui->spy().Click(custom.window, 4));
    EXPECT_EQ(Answer(custom), "result 4");

    // Set 7 (Continue, Abort) is the system's OK and Cancel; OK means Continue.
    Box continueAbort = ShowBox("system-box", {"7", "Go on?", "Box Seven"}, "Box Seven");
    ASSERT_NE(continueAbort.shown.Find(1), nullptr);
    ASSERT_NE(continueAbort.shown.Find(2), nullptr);
    EXPECT_TRUE(continueAbort.gui->spy().Click(continueAbort.window, 1));
    EXPECT_EQ(Answer(continueAbort), "result 11");
}

}  // namespace
}  // namespace palisade::wine
