// The installation folder loop's tests of a chosen folder: their order, the
// prompts each gives and the texts they show.
#include "startup/folder_choice.h"

#include <gtest/gtest.h>

#include "core/message_numbers.h"

namespace palisade {
namespace {

// Message n is "m<n>", except the formats the loop fills in.
std::u16string TestMessage(int n) {
    if (n == Msg::kDriveMissing) return u"Drive %c: is missing.";
    if (n == Msg::kLowDiskSpace) return u"Needed %s, free %s.";
    std::string text = "m" + std::to_string(n);
    return std::u16string(text.begin(), text.end());
}

std::vector<int> MessagesOf(const FolderPlan& plan) {
    std::vector<int> numbers;
    for (const FolderPrompt& prompt : plan.prompts) numbers.push_back(prompt.message);
    return numbers;
}

TEST(FolderChoice, TestsComeInOrderAndTheFirstRefusalEndsThem) {
    using Presence = FolderPresence;
    struct Case {
        FolderVerdict verdict;
        Presence presence;
        std::optional<std::uint64_t> free;
        std::vector<int> prompts;
        bool refused, create;
    } cases[] = {
        {FolderVerdict::Accepted, Presence::Missing, 1000, {Msg::kFolderWillBeCreated}, false, true},
        {FolderVerdict::Accepted, Presence::Folder, 1000, {Msg::kFolderExists}, false, false},
        {FolderVerdict::Accepted, Presence::Missing, 99, {Msg::kLowDiskSpace, Msg::kFolderWillBeCreated}, false, true},
        {FolderVerdict::Accepted, Presence::Folder, 0, {Msg::kLowDiskSpace, Msg::kFolderExists}, false, false},
        {FolderVerdict::Accepted, Presence::Missing, 100, {Msg::kFolderWillBeCreated}, false, true},  // just enough
        {FolderVerdict::Accepted, Presence::Missing, std::nullopt, {Msg::kFolderWillBeCreated}, false, true},
        {FolderVerdict::Accepted, Presence::File, 0, {Msg::kFolderNotCreated}, true, false},
        {FolderVerdict::Empty, Presence::Missing, 0, {Msg::kFolderEmpty}, true, false},
        {FolderVerdict::SystemFolder, Presence::Folder, 1000, {Msg::kSystemFolderRefused}, true, false},
        {FolderVerdict::ProgramFilesRoot, Presence::Folder, 1000, {Msg::kFolderNeedsSubfolder}, true, false},
        {FolderVerdict::DriveRoot, Presence::Folder, 1000, {Msg::kFolderNeedsSubfolder}, true, false},
        {FolderVerdict::MissingDrive, Presence::Missing, std::nullopt, {Msg::kDriveMissing}, true, false},
        {FolderVerdict::UnsuitableDrive, Presence::Folder, 0, {Msg::kDriveKindRefused}, true, false},
        {FolderVerdict::InvalidName, Presence::Missing, 0, {Msg::kFolderNameInvalid}, true, false},
        {FolderVerdict::NotAbsolute, Presence::Missing, 0, {Msg::kFolderNameInvalid}, true, false},
        {FolderVerdict::TooLong, Presence::Missing, 0, {Msg::kFolderPathTooLong}, true, false},
    };
    for (const Case& c : cases) {
        ChosenFolderFacts facts{c.verdict, c.presence, c.free, 100};
        FolderPlan plan = PlanChosenFolder(u"D:\\Apps\\Demo", facts, TestMessage);
        SCOPED_TRACE(testing::Message() << "verdict " << int(c.verdict) << ", presence " << int(c.presence));
        EXPECT_EQ(MessagesOf(plan), c.prompts);
        EXPECT_EQ(plan.Refused(), c.refused);
        EXPECT_EQ(plan.create, c.create);
    }
}

TEST(FolderChoice, PromptsNameTheFolderAndFillTheirFormats) {
    ChosenFolderFacts low{FolderVerdict::Accepted, FolderPresence::Missing, 1024, 2048};
    FolderPlan plan = PlanChosenFolder(u"D:\\Apps\\Demo", low, TestMessage);
    ASSERT_EQ(plan.prompts.size(), 2u);
    EXPECT_EQ(plan.prompts[0].text, u"Needed 2.00 KB, free 1.00 KB.");
    EXPECT_EQ(plan.prompts[0].kind, FolderPrompt::Kind::Question);
    EXPECT_EQ(plan.prompts[0].caption, u"m20");
    EXPECT_EQ(plan.prompts[1].text, u"m23\r\n\r\nD:\\Apps\\Demo");

    ChosenFolderFacts missingDrive{FolderVerdict::MissingDrive, FolderPresence::Missing, std::nullopt, 0};
    plan = PlanChosenFolder(u"Q:\\Demo", missingDrive, TestMessage);
    ASSERT_EQ(plan.prompts.size(), 1u);
    EXPECT_EQ(plan.prompts[0].text, u"Drive Q: is missing.\r\n\r\nQ:\\Demo");
    EXPECT_EQ(plan.prompts[0].kind, FolderPrompt::Kind::Refusal);

    // An empty folder has nothing to name.
    ChosenFolderFacts empty{FolderVerdict::Empty, FolderPresence::Missing, std::nullopt, 0};
    EXPECT_EQ(PlanChosenFolder(u"", empty, TestMessage).prompts[0].text, u"m14");

    FolderPrompt failed = FolderNotCreatedPrompt(u"D:\\Locked\\Demo", u"Access is denied.", TestMessage);
    EXPECT_EQ(failed.text, u"m73\r\n\r\nD:\\Locked\\Demo\r\nAccess is denied.");
    EXPECT_EQ(failed.kind, FolderPrompt::Kind::Refusal);
}

TEST(FolderChoice, ThePageTextLosesItsBlanksAndTrailingBackslash) {
    EXPECT_EQ(ChosenFolderText(u"  D:\\Apps\\Demo\\ "), u"D:\\Apps\\Demo");
    EXPECT_EQ(ChosenFolderText(u"D:\\Apps\\\\"), u"D:\\Apps");
    EXPECT_EQ(ChosenFolderText(u"D:\\"), u"D:\\");
    EXPECT_EQ(ChosenFolderText(u" \t "), u"");
}

TEST(FolderChoice, FreeSpaceIsAskedOfTheDriveOrTheShare) {
    EXPECT_EQ(VolumeRootOf(u"D:\\Apps\\Demo"), u"D:\\");
    EXPECT_EQ(VolumeRootOf(u"d:"), u"d:\\");
    EXPECT_EQ(VolumeRootOf(u"\\\\server\\share\\Apps"), u"\\\\server\\share\\");
    EXPECT_EQ(VolumeRootOf(u"\\\\server\\share"), u"\\\\server\\share\\");
    EXPECT_EQ(VolumeRootOf(u"\\\\server\\\\x"), u"");
    EXPECT_EQ(VolumeRootOf(u"\\\\server"), u"");
    EXPECT_EQ(VolumeRootOf(u"Apps\\Demo"), u"");
    EXPECT_EQ(VolumeRootOf(u"|D:\\Apps"), u"");
}

}  // namespace
}  // namespace palisade
