// Version and time-stamp ordering used by the overwrite rules.
#include <gtest/gtest.h>

#include "actions/file_comparison.h"

namespace palisade {
namespace {

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

struct VersionCase {
    const char16_t* older;
    const char16_t* newer;
};

TEST(FileComparisonVersions, OrdersAsDocumented) {
    const VersionCase cases[] = {
        {u"1.2", u"1.2.0"},          {u"1.2.0", u"1.2.1"},   {u"1.9", u"1.10"},
        {u"1.2", u"1.2a"},           {u"1.2a", u"1.2b"},     {u"2", u"10"},
        {u"1.2", u"1,3"},            {u"0.9", u".9.1"},      // ".9.1" reads as 0.9.1
        {u"", u"0"},                 {u"1.2b", u"1.2.0a"},   {u"1.0099", u"1.100"},
        {u"99999999999999999999", u"100000000000000000000"},  // beyond 64 bits
        {u"v1.2 beta", u"1.3"},      {u"1.2 build 7", u"1.2 build 8"},
    };
    for (const VersionCase& c : cases) {
        EXPECT_LT(CompareVersions(c.older, c.newer), 0);
        EXPECT_GT(CompareVersions(c.newer, c.older), 0);
    }
}

TEST(FileComparisonVersions, EqualTexts) {
    EXPECT_EQ(CompareVersions(u"1.2", u"1.2"), 0);
    EXPECT_EQ(CompareVersions(u"1.02", u"1.2"), 0);
    EXPECT_EQ(CompareVersions(u"1, 2, 3", u"1.2.3"), 0);
    EXPECT_EQ(CompareVersions(u".5", u"0.5"), 0);
    EXPECT_EQ(CompareVersions(u"", u""), 0);
    // The last letter anywhere counts, not the first.
    EXPECT_EQ(CompareVersions(u"a1.2b", u"c1.2b"), 0);
    EXPECT_LT(CompareVersions(u"b1.2a", u"a1.2b"), 0);
}

FileTimeStamp Stamp(int year, int month, int day, int hour, int minute, int second) {
    FileTimeStamp s;
    s.year = year;
    s.month = month;
    s.day = day;
    s.hour = hour;
    s.minute = minute;
    s.second = second;
    return s;
}

TEST(FileComparisonStamps, OneSecondApartIsEqualTwoIsNot) {
    FileTimeStamp base = Stamp(2024, 5, 6, 10, 0, 0);
    EXPECT_EQ(CompareTimeStamps(base, Stamp(2024, 5, 6, 10, 0, 1)), 0);
    EXPECT_EQ(CompareTimeStamps(Stamp(2024, 5, 6, 10, 0, 1), base), 0);
    EXPECT_EQ(CompareTimeStamps(base, Stamp(2024, 5, 6, 9, 59, 59)), 0);  // across a minute
    EXPECT_LT(CompareTimeStamps(base, Stamp(2024, 5, 6, 10, 0, 2)), 0);
    EXPECT_GT(CompareTimeStamps(Stamp(2024, 5, 6, 10, 0, 2), base), 0);
    EXPECT_GT(CompareTimeStamps(Stamp(2024, 5, 6, 11, 0, 0), base), 0);
}

TEST(FileComparisonStamps, DateDecidesBeforeTime) {
    EXPECT_GT(CompareTimeStamps(Stamp(2025, 1, 1, 0, 0, 0), Stamp(2024, 12, 31, 23, 59, 59)), 0);
    EXPECT_LT(CompareTimeStamps(Stamp(2024, 1, 31, 23, 0, 0), Stamp(2024, 2, 1, 0, 0, 0)), 0);
    EXPECT_LT(CompareTimeStamps(Stamp(2024, 2, 1, 23, 0, 0), Stamp(2024, 2, 2, 0, 0, 0)), 0);
    // Midnight and one second before it on different days are not "within a second".
    EXPECT_GT(CompareTimeStamps(Stamp(2024, 2, 2, 0, 0, 0), Stamp(2024, 2, 1, 23, 59, 59)), 0);
}

TEST(FileComparisonStamps, MissingDateOrTimeRanksAbove) {
    FileTimeStamp full = Stamp(2024, 5, 6, 10, 0, 0);
    FileTimeStamp noDate = Stamp(0, 0, 0, 10, 0, 0);
    FileTimeStamp noTime = Stamp(2024, 5, 6, -1, 0, 0);
    FileTimeStamp nothing = Stamp(0, 0, 0, -1, 0, 0);
    EXPECT_GT(CompareTimeStamps(noDate, full), 0);
    EXPECT_LT(CompareTimeStamps(full, noDate), 0);
    EXPECT_GT(CompareTimeStamps(noTime, full), 0);
    EXPECT_LT(CompareTimeStamps(full, noTime), 0);
    EXPECT_EQ(CompareTimeStamps(nothing, nothing), 0);
    EXPECT_EQ(CompareTimeStamps(noTime, Stamp(2024, 5, 6, -1, 30, 30)), 0);
    // Without dates on either side the times still decide.
    EXPECT_LT(CompareTimeStamps(noDate, Stamp(0, 0, 0, 12, 0, 0)), 0);
}

TEST(FileComparisonStamps, DamagedValuesDoNotOverflow) {
    FileTimeStamp huge = Stamp(2024, 1, 1, INT32_MAX, INT32_MAX, INT32_MAX);
    FileTimeStamp tiny = Stamp(2024, 1, 1, INT32_MIN + 1, INT32_MIN, INT32_MIN);
    EXPECT_GT(CompareTimeStamps(huge, tiny), 0);
    EXPECT_LT(CompareTimeStamps(tiny, huge), 0);
    EXPECT_GT(Sign(CompareTimeStamps(Stamp(INT32_MAX, 1, 1, 0, 0, 0), Stamp(INT32_MIN, 1, 1, 0, 0, 0))), 0);
}

TEST(FileComparisonStamps, TextForm) {
    EXPECT_EQ(FormatTimeStamp(Stamp(2024, 3, 9, 4, 5, 7)), u"2024/03/09 04:05:07");
    EXPECT_EQ(FormatTimeStamp(Stamp(0, 0, 0, -1, 0, 0)), u"0/00/00 -1:00:00");
}

}  // namespace
}  // namespace palisade
