// The overwrite rules: every mode and kind with its exact log sentence, what is
// recorded for the uninstaller, the lists filled before the decision, shortcuts.
#include <gtest/gtest.h>

#include "actions/overwrite_decision.h"

namespace palisade {
namespace {

constexpr char16_t kDest[] = u"C:\\App\\f.dll";

FileTimeStamp Stamp(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    FileTimeStamp s;
    s.year = year;
    s.month = month;
    s.day = day;
    s.hour = hour;
    s.minute = minute;
    s.second = second;
    return s;
}

// The file at the destination, counting the questions asked about it.
struct FakeExisting {
    bool exists = false;
    std::optional<FileTimeStamp> stamp;
    std::u16string version;
    int existsAsked = 0, stampAsked = 0, versionAsked = 0;

    ExistingFileQuestions Questions() {
        return {[this] { ++existsAsked; return exists; }, [this] { ++stampAsked; return stamp; },
                [this] { ++versionAsked; return version; }};
    }
};

FakeExisting Existing(std::optional<FileTimeStamp> stamp = std::nullopt, std::u16string version = {}) {
    FakeExisting f;
    f.exists = true;
    f.stamp = stamp;
    f.version = std::move(version);
    return f;
}

FileEntry Entry(int kind, std::uint32_t mode = 0, std::string info = {}) {
    FileEntry entry;
    entry.name = "f.dll";
    entry.kind = EntryKind(kind);
    entry.flags = mode;
    entry.info = std::move(info);
    entry.timeStamp = Stamp(2024, 6, 1, 12);
    return entry;
}

OverwriteDecision Decide(const FileEntry& entry, FakeExisting& existing, bool portable = false) {
    return DecideOverwrite(entry, kDest, portable, existing.Questions());
}

std::u16string Line(std::u16string_view sentence) { return kDest + std::u16string(sentence); }

TEST(FileOverwriteModes, PassOverAsksNothingAndSaysNothing) {
    for (std::uint32_t mode : {4u, 20u}) {
        FakeExisting existing = Existing();
        OverwriteDecision d = Decide(Entry(0, mode), existing);
        EXPECT_FALSE(d.write);
        EXPECT_FALSE(d.recordFile);
        EXPECT_TRUE(d.logText.empty());
        EXPECT_EQ(existing.existsAsked + existing.stampAsked + existing.versionAsked, 0);
    }
}

TEST(FileOverwriteModes, OnlyIfExisting) {
    FakeExisting missing;
    OverwriteDecision d = Decide(Entry(0, 8), missing);
    EXPECT_FALSE(d.write);
    EXPECT_FALSE(d.recordFile);
    EXPECT_EQ(d.logText, Line(u" was not installed because it does not already exist.\r\n"));
    FakeExisting present = Existing();
    d = Decide(Entry(0, 8), present);
    EXPECT_TRUE(d.write);
    EXPECT_TRUE(d.recordFile);
    EXPECT_TRUE(d.logText.empty());
    // Then the default rule of the kind applies (here: not newer by version).
    FakeExisting system = Existing(std::nullopt, u"2.0");
    d = Decide(Entry(9, 8, "1.0"), system);
    EXPECT_FALSE(d.write);
    EXPECT_EQ(system.existsAsked, 1);  // asked once although two rules need it
}

TEST(FileOverwriteModes, OnlyIfMissing) {
    FakeExisting present = Existing();
    OverwriteDecision d = Decide(Entry(0, 12), present);
    EXPECT_FALSE(d.write);
    EXPECT_EQ(d.logText, Line(u" was not installed because it already exists.\r\n"));
    // A file left in place is not this installation's: the user's or another
    // product's file must survive the uninstaller, whatever the kind.
    for (bool portable : {false, true}) {
        for (int kind : {0, 1, 5}) {
            FakeExisting present = Existing();
            EXPECT_FALSE(Decide(Entry(kind, 12), present, portable).recordFile) << kind << portable;
        }
    }
    FakeExisting missing;
    d = Decide(Entry(0, 12), missing);
    EXPECT_TRUE(d.write);
    EXPECT_FALSE(d.existedBefore);
}

TEST(FileOverwriteModes, UnlessExistingIsLater) {
    FakeExisting later = Existing(Stamp(2024, 6, 1, 12, 0, 2));
    OverwriteDecision d = Decide(Entry(0, 16), later);
    EXPECT_FALSE(d.write);
    EXPECT_FALSE(d.recordFile);
    EXPECT_EQ(d.logText, Line(u" was not installed because the existing file is newer.\r\n"));
    EXPECT_EQ(later.existsAsked, 0);
    FakeExisting withinSecond = Existing(Stamp(2024, 6, 1, 12, 0, 1));
    EXPECT_TRUE(Decide(Entry(0, 16), withinSecond).write);
    FakeExisting unreadable = Existing();
    EXPECT_TRUE(Decide(Entry(0, 16), unreadable).write);
    FakeExisting incomplete = Existing(Stamp(2030, 1, 1, -1));
    EXPECT_TRUE(Decide(Entry(0, 16), incomplete).write);
    FileEntry entryWithoutTime = Entry(0, 16);
    entryWithoutTime.timeStamp.hour = -1;
    FakeExisting laterAgain = Existing(Stamp(2030, 1, 1, 0));
    EXPECT_TRUE(Decide(entryWithoutTime, laterAgain).write);
}

TEST(FileOverwriteModes, DefaultModesAskNothingForOrdinaryFiles) {
    for (std::uint32_t mode : {0u, 24u, 28u}) {
        for (int kind : {0, 5, 10, 11, 12}) {
            FakeExisting existing = Existing();
            OverwriteDecision d = Decide(Entry(kind, mode), existing);
            EXPECT_TRUE(d.write);
            EXPECT_FALSE(d.existedBefore);  // only the default rules of kinds 1, 4, 6-9 look
            EXPECT_TRUE(d.recordFile);
            EXPECT_TRUE(d.logText.empty());
            EXPECT_EQ(existing.existsAsked + existing.stampAsked + existing.versionAsked, 0);
        }
    }
}

TEST(FileOverwriteSharedAndFonts, UpToDateOrReplaced) {
    for (int kind : {1, 4}) {
        FakeExisting missing;
        OverwriteDecision d = Decide(Entry(kind), missing);
        EXPECT_TRUE(d.write);
        EXPECT_FALSE(d.existedBefore);
        EXPECT_TRUE(d.logText.empty());

        FakeExisting same = Existing(Stamp(2024, 6, 1, 12, 0, 1));
        d = Decide(Entry(kind), same);
        EXPECT_FALSE(d.write);
        EXPECT_FALSE(d.recordFile);
        EXPECT_EQ(d.logText, Line(u" is up to date.\r\n"));

        FakeExisting older = Existing(Stamp(2024, 5, 1, 12));
        d = Decide(Entry(kind), older);
        EXPECT_TRUE(d.write);
        EXPECT_TRUE(d.existedBefore);
        EXPECT_EQ(d.logText, Line(u" is out of date and will be replaced.\r\n"));

        FakeExisting unreadable = Existing();
        EXPECT_TRUE(Decide(Entry(kind), unreadable).write);

        FileEntry noDate = Entry(kind);
        noDate.timeStamp.month = 0;
        FakeExisting newer = Existing(Stamp(2030, 1, 1, 0));
        EXPECT_TRUE(Decide(noDate, newer).write);  // incomplete entry stamp: always replaced
    }
    // A portable shared file is recorded when written, never when left in place.
    FakeExisting same = Existing(Stamp(2024, 6, 1, 12));
    EXPECT_FALSE(Decide(Entry(1), same, true).recordFile);
    FakeExisting older = Existing(Stamp(2024, 5, 1, 12));
    EXPECT_TRUE(Decide(Entry(1), older, true).recordFile);
    FakeExisting olderPermanent = Existing(Stamp(2024, 5, 1, 12));
    EXPECT_FALSE(Decide(Entry(1, EntryFlags::kPermanent), olderPermanent, true).recordFile);
}

TEST(FileOverwriteNewerOnly, VersionTest) {
    for (int kind : {6, 7, 8, 9}) {
        FakeExisting equal = Existing(Stamp(2020, 1, 1, 0), u" 1.2.0\t");
        OverwriteDecision d = Decide(Entry(kind, 0, "1.2.0"), equal);
        EXPECT_FALSE(d.write);
        EXPECT_EQ(d.logText, Line(u" was not installed because its version (1.2.0) is not newer than  1.2.0\t\r\n"));
        EXPECT_FALSE(d.recordFile) << kind;  // the existing file is not this installation's
        EXPECT_EQ(equal.stampAsked, 0);
    }
}

TEST(FileOverwriteNewerOnly, BothTestsMustPass) {
    FakeExisting olderBoth = Existing(Stamp(2024, 1, 1, 0), u"1.9");
    OverwriteDecision d = Decide(Entry(9, 0, "1.10"), olderBoth);
    EXPECT_TRUE(d.write);
    EXPECT_TRUE(d.existedBefore);
    EXPECT_EQ(d.logText, Line(u" needs replacement because its version (1.10) is newer than 1.9 and its date "
                              u"(2024/06/01 12:00:00) is newer than 2024/01/01 00:00:00\r\n"));

    FakeExisting newerDate = Existing(Stamp(2024, 6, 1, 12, 0, 1), u"1.9");
    d = Decide(Entry(9, 0, "1.10"), newerDate);
    EXPECT_FALSE(d.write);
    EXPECT_FALSE(d.recordFile);
    EXPECT_EQ(d.logText, Line(u" was not installed because its date (2024/06/01 12:00:00) is not newer than "
                              u"2024/06/01 12:00:01.\r\n"));
}

TEST(FileOverwriteNewerOnly, OnlyTheTestsThatCanBeMade) {
    // No version resource: the date alone decides.
    FakeExisting noVersion = Existing(Stamp(2024, 1, 1, 0), u" \r\n");
    OverwriteDecision d = Decide(Entry(6, 0, "3.0"), noVersion);
    EXPECT_EQ(d.logText, Line(u" needs replacement because its date (2024/06/01 12:00:00) is newer than "
                              u"2024/01/01 00:00:00\r\n"));
    // No readable stamp: the version alone decides.
    FakeExisting noStamp = Existing(std::nullopt, u"1.0");
    d = Decide(Entry(7, 0, "1.1"), noStamp);
    EXPECT_TRUE(d.write);
    EXPECT_EQ(d.logText, Line(u" needs replacement because its version (1.1) is newer than 1.0\r\n"));
    // Neither: replaced with the plain sentence.
    FakeExisting nothing = Existing();
    d = Decide(Entry(8), nothing);
    EXPECT_TRUE(d.write);
    EXPECT_FALSE(d.recordFile);
    EXPECT_EQ(d.logText, Line(u" is out of date and will be replaced.\r\n"));
    // An entry stamp without a date counts as newer.
    FileEntry noDate = Entry(9);
    noDate.timeStamp.month = 0;
    FakeExisting dated = Existing(Stamp(2030, 1, 1, 0));
    EXPECT_TRUE(Decide(noDate, dated).write);
    FakeExisting missing;
    d = Decide(Entry(9, 0, "1.0"), missing);
    EXPECT_TRUE(d.write);
    EXPECT_FALSE(d.existedBefore);
    EXPECT_TRUE(d.logText.empty());
}

TEST(FileOverwriteLists, FilledBeforeTheDecision) {
    InstallationRecord record;
    AddToListsBeforeDecision(Entry(1), u"C:\\S\\a", false, record);
    AddToListsBeforeDecision(Entry(1, EntryFlags::kPermanent), u"C:\\S\\b", false, record);
    AddToListsBeforeDecision(Entry(1), u"C:\\S\\c", true, record);  // portable: not counted
    AddToListsBeforeDecision(Entry(6), u"C:\\W\\d", true, record);
    AddToListsBeforeDecision(Entry(7, 4), u"C:\\W\\e", false, record);  // passed over, still listed
    AddToListsBeforeDecision(Entry(7, EntryFlags::kPermanent), u"C:\\W\\f", false, record);
    AddToListsBeforeDecision(Entry(7), u"C:\\W\\g", true, record);
    AddToListsBeforeDecision(Entry(8, 20), u"C:\\W\\h", true, record);
    AddToListsBeforeDecision(Entry(8, EntryFlags::kPermanent), u"C:\\W\\i", false, record);
    AddToListsBeforeDecision(Entry(0), u"C:\\A\\j", false, record);
    std::vector<std::u16string> shared = {u"C:\\S\\a", u" C:\\S\\b", u" C:\\W\\d", u"^C:\\W\\e",
                                          u" C:\\W\\f", u"\u00A9C:\\W\\h", u" C:\\W\\i"};
    EXPECT_EQ(record.sharedCountList, shared);
    std::vector<std::u16string> com = {u"C:\\W\\e", u"C:\\W\\f", u"C:\\W\\g"};
    EXPECT_EQ(record.comRegistrationList, com);
    std::vector<std::u16string> typeLibraries = {u"C:\\W\\h", u"C:\\W\\i"};
    EXPECT_EQ(record.typeLibraryList, typeLibraries);
}

TEST(FileOverwriteRecording, RecordedKinds) {
    for (int kind : {0, 5, 9, 10, 11, 12}) EXPECT_TRUE(IsRecordedKind(EntryKind(kind), false)) << kind;
    for (int kind : {1, 4, 6, 7, 8}) EXPECT_FALSE(IsRecordedKind(EntryKind(kind), false)) << kind;
    EXPECT_TRUE(IsRecordedKind(EntryKind::SharedFile, true));
}

TEST(FileOverwriteShortcuts, OnlyForShortcutEntries) {
    FileEntry plain = Entry(0);
    EXPECT_FALSE(ShortcutFor(plain, kDest));
    EXPECT_FALSE(ShortcutFor(Entry(9, 0x02), kDest));  // shortcut bits only count for kind 0

    FileEntry entry = Entry(0, 0x02 | EntryFlags::kPermanent, "Caf\xC3\xA9 tool");
    entry.shortcutName = u"Tool";
    entry.arguments = "/x \xE9";
    entry.extra = "|C:\\\xC3\xA9";
    std::optional<ShortcutRecord> s = ShortcutFor(entry, kDest);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->flag1);
    EXPECT_TRUE(s->flag2);
    EXPECT_FALSE(s->alwaysShortcut);
    EXPECT_TRUE(s->permanent);
    EXPECT_EQ(s->target, kDest);
    EXPECT_EQ(s->description, u"Caf\u00E9 tool");
    EXPECT_EQ(s->name, u"Tool");
    EXPECT_EQ(s->arguments, u"/x \u00E9");
    EXPECT_EQ(s->startIn, u"C:\\\u00E9");

    std::optional<ShortcutRecord> always = ShortcutFor(Entry(5), kDest);
    ASSERT_TRUE(always);
    EXPECT_TRUE(always->alwaysShortcut);
    EXPECT_FALSE(always->flag1 || always->flag2);
}

}  // namespace
}  // namespace palisade
