// Shared files: the shared folder's place, and counting each file once per
// product however often it is installed.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "actions/shared_counts.h"
#include "fake_system_facts.h"

namespace palisade {
namespace {

class FakeCountStore : public SharedCountStore {
public:
    std::optional<std::uint32_t> Read(std::u16string_view path) override {
        auto it = counts.find(std::u16string(path));
        return it == counts.end() ? std::nullopt : std::optional<std::uint32_t>(it->second);
    }
    bool Delete(std::u16string_view path) override { return counts.erase(std::u16string(path)) != 0; }
    std::uint32_t Write(std::u16string_view path, std::uint32_t count) override {
        writes.emplace_back(path);
        if (failing.count(std::u16string(path))) return 5;
        counts[std::u16string(path)] = count;
        return 0;
    }
    std::map<std::u16string, std::uint32_t> counts;
    std::set<std::u16string> failing;
    std::vector<std::u16string> writes;
};

TEST(SharedCounts, ReinstallingTheSameProductDoesNotCountAgain) {
    FakeCountStore store;
    store.counts[u"C:\\Common\\a.dll"] = 2;  // another product counted it already
    std::vector<std::u16string> entries = {u"C:\\Common\\a.dll", u"^C:\\Windows\\system32\\b.ocx"};
    std::u16string record;
    EXPECT_TRUE(IncrementSharedCountsIn(entries, record, store).empty());
    EXPECT_EQ(record, u"\"C:\\Common\\a.dll\";\"^C:\\Windows\\system32\\b.ocx\"");

    std::u16string reloaded = record;  // what the next run loads from "SharedFiles"
    EXPECT_TRUE(IncrementSharedCountsIn(entries, reloaded, store).empty());
    EXPECT_EQ(reloaded, record);
    EXPECT_EQ(store.counts[u"C:\\Common\\a.dll"], 3u);
    EXPECT_EQ(store.counts[u"C:\\Windows\\system32\\b.ocx"], 1u);
    EXPECT_EQ(store.writes.size(), 2u);
}

TEST(SharedCounts, TheSamePathTwiceInOneRunIsCountedOnce) {
    FakeCountStore store;
    std::u16string record;
    IncrementSharedCountsIn({u" C:\\Windows\\fonts.dat", u" C:\\Windows\\fonts.dat"}, record, store);
    EXPECT_EQ(store.counts[u"C:\\Windows\\fonts.dat"], 1u);
    EXPECT_EQ(record, u"\" C:\\Windows\\fonts.dat\"");
}

TEST(SharedCounts, MarksAreStrippedForTheCountButKeptInTheRecord) {
    struct Case {
        std::u16string entry;
        std::u16string counted;
    };
    const Case cases[] = {
        {u"^C:\\s\\com.dll", u"C:\\s\\com.dll"},
        {u" C:\\s\\keep.dll", u"C:\\s\\keep.dll"},
        {u"\u00A9C:\\s\\types.tlb", u"C:\\s\\types.tlb"},
        {u"^ \u00A9C:\\s\\all.dll", u"C:\\s\\all.dll"},    // in the order ^, blank, (c)
        {u"\u00A9^C:\\s\\odd.dll", u"^C:\\s\\odd.dll"},    // out of order: only the (c) goes
        {u"C:\\s\\plain.dll", u"C:\\s\\plain.dll"},
    };
    for (const Case& c : cases) {
        FakeCountStore store;
        std::u16string record;
        IncrementSharedCountsIn({c.entry}, record, store);
        ASSERT_EQ(store.writes.size(), 1u);
        EXPECT_EQ(store.writes[0], c.counted);
        EXPECT_EQ(record, u"\"" + c.entry + u"\"");
    }
}

TEST(SharedCounts, AFailedWriteIsReportedAndStillRecorded) {
    FakeCountStore store;
    store.failing.insert(u"C:\\s\\locked.dll");
    std::u16string record = u"\"C:\\old.dll\"";
    auto failures = IncrementSharedCountsIn({u"^C:\\s\\locked.dll", u"C:\\s\\fine.dll"}, record, store);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, u"C:\\s\\locked.dll");
    EXPECT_EQ(failures[0].error, 5u);
    EXPECT_EQ(record, u"\"C:\\old.dll\";\"^C:\\s\\locked.dll\";\"C:\\s\\fine.dll\"");
    EXPECT_EQ(store.counts[u"C:\\s\\fine.dll"], 1u);
}

TEST(SharedCounts, ACountAtItsLimitDoesNotWrapToZero) {
    FakeCountStore store;
    store.counts[u"C:\\x.dll"] = 0xFFFFFFFFu;
    std::u16string record;
    IncrementSharedCountsIn({u"C:\\x.dll"}, record, store);
    EXPECT_EQ(store.counts[u"C:\\x.dll"], 0xFFFFFFFFu);
}

TEST(SharedCounts, FailureTexts) {
    EXPECT_EQ(SharedCountFailureLine(u"C:\\a.dll", u"Access is denied."),
              u"Failed to increment reference count of shared file \"C:\\a.dll\" : Access is denied.\r\n");
    EXPECT_EQ(SharedKeyFailureText(u"5", u"Access is denied.", u"Windows 10 Pro x64"),
              u"Registry error: unable to increment shared file reference counts.\r\n"
              u"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\r\n"
              u"Code 5: Access is denied.\r\nOS: Windows 10 Pro x64\r\n\r\n");
    EXPECT_EQ(SharedFolderFailureText(u"C:\\S", u"Denied."), u"Failed to create shared folder \"C:\\S\": Denied.\r\n");
}

TEST(SharedFolder, BaseBySelectorAndBitness) {
    EXPECT_EQ(ChooseSharedFolderBase(1, kBitness64Only), SharedFolderBase::CommonAppData);
    EXPECT_EQ(ChooseSharedFolderBase(2, kBitness64Only), SharedFolderBase::CommonFiles32);
    EXPECT_EQ(ChooseSharedFolderBase(3, kBitnessAny), SharedFolderBase::CommonFiles64);
    EXPECT_EQ(ChooseSharedFolderBase(0, kBitness64Only), SharedFolderBase::CommonFiles64);
    EXPECT_EQ(ChooseSharedFolderBase(7, kBitness32Only), SharedFolderBase::CommonFilesDefault);
    EXPECT_EQ(ChooseSharedFolderBase(0, kBitnessAny), SharedFolderBase::CommonFilesDefault);
}

TEST(SharedFolder, ComposedFromTheSettingsAndTheState) {
    struct Case {
        bool portable;
        std::u16string sharedPath;
        std::u16string alternative;
        std::u16string expected;
    };
    const Case cases[] = {
        {false, u"Acme", u"", u"C:\\Common Files\\Acme"},
        {false, u"Acme", u"Shared", u"C:\\Common Files\\Acme"},   // the alternative is for portable only
        {true, u"Acme", u"Shared", u"E:\\App\\Shared"},
        {true, u"Acme", u"", u"C:\\Common Files\\Acme"},         // portable without its own sub-folder
        {false, u"D:\\Fixed\\Place", u"", u"D:\\Fixed\\Place"},  // absolute: unchanged
        {false, u"\\\\server\\share", u"", u"\\\\server\\share"},
        {true, u"Acme", u"F:\\Elsewhere", u"F:\\Elsewhere"},
        {false, u"", u"", u""},
    };
    for (const Case& c : cases) {
        InstallerSettings settings;
        settings.sharedPath = c.sharedPath;
        settings.alternativeSharedFolder = c.alternative;
        InstallationState state;
        state.portable = c.portable;
        state.installFolder = u"E:\\App";
        EXPECT_EQ(ComposeSharedFolder(settings, state, u"C:\\Common Files"), c.expected) << c.expected.size();
    }
}

TEST(SharedFolder, LooksUpOnlyTheChosenBase) {
    testing::FakeSystemFacts facts;
    facts.specialFolders[35] = u"C:\\ProgramData";
    facts.specialFolders[43] = u"C:\\Program Files (x86)\\Common Files";
    InstallerSettings settings;
    settings.sharedPath = u"Acme";
    InstallationState state;
    settings.folderBaseSelector = 1;
    EXPECT_EQ(SharedFolderFor(settings, state, facts), u"C:\\ProgramData\\Acme");
    settings.folderBaseSelector = 2;
    EXPECT_EQ(SharedFolderFor(settings, state, facts), u"C:\\Program Files (x86)\\Common Files\\Acme");
}

}  // namespace
}  // namespace palisade
