// Reproducible installers: SOURCE_DATE_EPOCH, clamped item times and a cipher key that follows the content.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include "builder/installer_builder.h"
#include "builder/time_stamps.h"
#include "builder_test_support.h"
#include "inspector/installer_examination.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

using testing::TempFolder;

// Sets SOURCE_DATE_EPOCH (or removes it) for one test and puts the old value back.
class EpochVariable {
public:
    explicit EpochVariable(const char* value) {
        if (const char* old = std::getenv("SOURCE_DATE_EPOCH")) m_old = old;
        value ? setenv("SOURCE_DATE_EPOCH", value, 1) : unsetenv("SOURCE_DATE_EPOCH");
    }
    ~EpochVariable() { m_old ? setenv("SOURCE_DATE_EPOCH", m_old->c_str(), 1) : unsetenv("SOURCE_DATE_EPOCH"); }

private:
    std::optional<std::string> m_old;
};

TEST(BuilderReproducible, SourceDateEpochIsADecimalCountOfSeconds) {
    struct Case {
        const char* value;
        std::optional<std::int64_t> seconds;
        bool error;
    };
    for (Case c : {Case{nullptr, std::nullopt, false}, Case{"", std::nullopt, false}, Case{"0", 0, false},
                   Case{"1700000000", 1700000000, false}, Case{"-5", std::nullopt, true},
                   Case{"17e8", std::nullopt, true}, Case{" 1700000000", std::nullopt, true},
                   Case{"1700000000\n", std::nullopt, true}, Case{"999999999999", std::nullopt, true}}) {
        SourceDateEpoch epoch = ParseSourceDateEpoch(c.value);
        EXPECT_EQ(epoch.seconds, c.seconds) << (c.value ? c.value : "(unset)");
        EXPECT_EQ(!epoch.error.empty(), c.error) << (c.value ? c.value : "(unset)");
    }
}

TEST(BuilderReproducible, LaterStampsAreClampedToTheEpoch) {
    const std::int64_t epoch = 1700000000;  // 2023-11-14 22:13:20 UTC
    FileTimeStamp atEpoch(2023, 11, 14, 22, 13, 20);
    EXPECT_TRUE(TimeStampFromEpoch(epoch) == atEpoch);
    struct Case {
        FileTimeStamp stamp;
        FileTimeStamp expected;
    };
    for (Case c : {Case{FileTimeStamp(2030, 1, 1, 0, 0, 0), atEpoch},
                   Case{FileTimeStamp(2023, 11, 14, 22, 13, 21), atEpoch},       // one second later
                   Case{atEpoch, atEpoch},                                        // the epoch itself
                   Case{FileTimeStamp(2023, 11, 14, 22, 13, 19), FileTimeStamp(2023, 11, 14, 22, 13, 19)},
                   Case{FileTimeStamp(1999, 12, 31, 23, 59, 59), FileTimeStamp(1999, 12, 31, 23, 59, 59)},
                   Case{NoTimeStamp(), NoTimeStamp()}}) {                          // "none" stays none
        EXPECT_TRUE(ClampTimeStamp(c.stamp, epoch) == c.expected) << TimeStampText(c.stamp);
    }
}

TEST(BuilderReproducible, TheContentKeyFollowsEveryByte) {
    std::vector<PayloadItem> items = ::palisade::testing::SampleItems();
    std::vector<std::uint8_t> settings = {1, 2, 3};
    CipherKey key = ContentCipherKey(settings, ItemStream(items));
    EXPECT_EQ(ContentCipherKey(settings, ItemStream(items)), key);
    std::vector<PayloadItem> changed = items;
    changed.back().data.push_back(0);
    EXPECT_NE(ContentCipherKey(settings, ItemStream(changed)), key);
    EXPECT_NE(ContentCipherKey({1, 2, 4}, ItemStream(items)), key);
}

class BuilderReproducibleBuild : public ::testing::Test {
protected:
    // A copy of one project whose files carry the given modification time.
    std::filesystem::path Copy(TempFolder& folder, std::filesystem::file_time_type time) {
        folder.Write("files/a.txt", "alpha");
        folder.Write("files/sub/b.txt", "beta");
        std::filesystem::path project = folder.Write(
            "palisade.toml", "ProductName = \"R\"\n[build]\ncipher = true\n[[files]]\nsource = \"files\"\n"
                             "[[files]]\nsource = \"files/a.txt\"\nname = \"fixed.txt\"\ntime = \"2040-01-01\"\n");
        for (const char* file : {"files/a.txt", "files/sub/b.txt"}) std::filesystem::last_write_time(folder / file, time);
        return project;
    }

    std::vector<std::uint8_t> Build(const std::filesystem::path& project) {
        Diagnostics diagnostics;
        std::optional<Project> read = ReadProject(project.string(), diagnostics);
        EXPECT_TRUE(read) << ::testing::PrintToString(testing::Messages(diagnostics));
        if (!read) return {};
        Progress quiet(true);
        std::optional<BuildSummary> summary = BuildInstaller(*read, ::palisade::testing::MakeStub(), quiet, diagnostics);
        EXPECT_TRUE(summary);
        return summary ? summary->image : std::vector<std::uint8_t>{};
    }

    TempFolder first, second;
    std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now();
};

TEST_F(BuilderReproducibleBuild, TwoCopiesWithDifferentTimesGiveTheSameBytes) {
    EpochVariable epoch("1700000000");
    std::vector<std::uint8_t> one = Build(Copy(first, now));
    std::vector<std::uint8_t> two = Build(Copy(second, now + std::chrono::hours(30)));
    ASSERT_FALSE(one.empty());
    EXPECT_TRUE(one == two);

    Inspection inspection = InspectInstaller(one, true);
    ASSERT_FALSE(inspection.Failed());
    EXPECT_TRUE(inspection.header->payloadKey) << "enciphered, with a key from the content";
    EXPECT_EQ(inspection.settings->buildDate, TimeStampFromEpoch(1700000000));
    std::vector<std::string> times;
    for (const InspectedItem& item : inspection.items) times.push_back(TimeStampText(item.entry.timeStamp));
    // The source files' times are clamped; a time the project gives stays as given.
    EXPECT_THAT(times, ::testing::UnorderedElementsAre("2023/11/14 22:13:20", "2023/11/14 22:13:20", "2040/01/01"));
}

TEST_F(BuilderReproducibleBuild, WithoutTheEpochTheKeyIsRandom) {
    EpochVariable epoch(nullptr);
    std::filesystem::path project = Copy(first, now);
    EXPECT_FALSE(Build(project) == Build(project));
}

TEST_F(BuilderReproducibleBuild, AMalformedEpochIsAnError) {
    EpochVariable epoch("yesterday");
    Diagnostics diagnostics;
    EXPECT_FALSE(ReadProject(Copy(first, now).string(), diagnostics));
    EXPECT_THAT(testing::Messages(diagnostics), ::testing::Contains(::testing::HasSubstr("SOURCE_DATE_EPOCH must be")));
}

}  // namespace
}  // namespace palisade::tools
