// The folder page's space labels: drive, required space with cluster
// rounding, size formatting and which labels change.
#include <gtest/gtest.h>

#include <limits>

#include "ui/folder_space.h"

namespace palisade {
namespace {

TEST(FolderSpace, DriveLetterAtTheStart) {
    EXPECT_EQ(DriveLetterOf(u"C:\\Program Files\\Demo"), u'C');
    EXPECT_EQ(DriveLetterOf(u"d:"), u'd');
    EXPECT_EQ(DriveLetterOf(u"|E:\\x"), u'E');
    EXPECT_FALSE(DriveLetterOf(u"\\\\server\\share\\Demo"));
    EXPECT_FALSE(DriveLetterOf(u"Demo"));
    EXPECT_FALSE(DriveLetterOf(u"1:\\x"));
    EXPECT_FALSE(DriveLetterOf(u"||C:\\x"));
    EXPECT_FALSE(DriveLetterOf(u""));
}

TEST(FolderSpace, FilesAreRoundedToWholeClusters) {
    struct Case {
        std::vector<std::uint64_t> files;
        std::uint64_t cluster, required;
    } cases[] = {
        {{}, 4096, 100 + 7},
        {{0}, 4096, 100 + 7},                       // an empty file takes no cluster
        {{1}, 4096, 100 + 4096 + 7},
        {{4096}, 4096, 100 + 4096 + 7},
        {{4097}, 4096, 100 + 8192 + 7},
        {{1, 1, 1}, 512, 100 + 1536 + 7},
        {{5000}, 0, 100 + 8192 + 7},                // unknown cluster size: 4096
        {{65536, 1}, 65536, 100 + 131072 + 7},
    };
    for (const Case& c : cases) EXPECT_EQ(RequiredSpace(100, c.files, c.cluster, 7), c.required);
}

TEST(FolderSpace, AbsurdSizesStopAtTheLargestCount) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(RequiredSpace(max - 10, {4096}, 4096, 0), max);
    EXPECT_EQ(RequiredSpace(0, {max}, 4096, 0), max);
    EXPECT_EQ(RequiredSpace(0, {max / 2, max / 2, max / 2}, 4096, 0), max);
    EXPECT_EQ(RequiredSpace(0, {}, 4096, max), max);
}

TEST(FolderSpace, SizesKeepThreeDigitsCutNotRounded) {
    struct Case {
        std::uint64_t bytes;
        std::u16string_view text;
    } cases[] = {
        {0, u"0 bytes"},
        {999, u"999 bytes"},
        {1000, u"0.97 KB"},
        {1024, u"1.00 KB"},
        {1536, u"1.50 KB"},
        {10239, u"9.99 KB"},
        {10240, u"10.0 KB"},
        {102399, u"99.9 KB"},
        {102400, u"100 KB"},
        {1023999, u"999 KB"},
        {1024000, u"0.97 MB"},
        {1048576, u"1.00 MB"},
        {16043212, u"15.2 MB"},
        {253403070464, u"236 GB"},
        {std::uint64_t(5) << 40, u"5.00 TB"},
        {std::numeric_limits<std::uint64_t>::max(), u"15.9 EB"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
}

TEST(FolderSpace, TheBrowserStartsAtTheNearestFolderAboveTheText) {
    using List = std::vector<std::u16string>;
    EXPECT_EQ(BrowseStartCandidates(u" C:\\Apps\\Demo\\ "), (List{u"C:\\Apps\\Demo", u"C:\\Apps", u"C:\\"}));
    EXPECT_EQ(BrowseStartCandidates(u"C:\\"), (List{u"C:\\"}));
    EXPECT_EQ(BrowseStartCandidates(u"C:\\\\"), (List{u"C:\\"}));
    EXPECT_EQ(BrowseStartCandidates(u"\\\\server\\share\\Apps\\Demo"),
              (List{u"\\\\server\\share\\Apps\\Demo", u"\\\\server\\share\\Apps", u"\\\\server\\share"}));
    EXPECT_EQ(BrowseStartCandidates(u"\\\\server"), (List{u"\\\\server"}));
    EXPECT_EQ(BrowseStartCandidates(u"Demo"), (List{u"Demo"}));
    EXPECT_TRUE(BrowseStartCandidates(u"  ").empty());
}

TEST(FolderSpace, TheAvailableLabelNeedsADriveLetter) {
    SpaceLabels labels = FolderSpaceLabels(u"C:\\Demo", 2048, 1048576, u"Required:", u"Available:");
    EXPECT_EQ(labels.required, u"Required: 2.00 KB");
    EXPECT_EQ(labels.available, u"Available: 1.00 MB");

    labels = FolderSpaceLabels(u"\\\\server\\share", 2048, 1048576, u"Required:", u"Available:");
    EXPECT_EQ(labels.required, u"Required: 2.00 KB");
    EXPECT_FALSE(labels.available) << "a network path leaves the label as it was";

    EXPECT_EQ(FolderSpaceLabels(u"C:\\", 0, std::nullopt, u"R", u"A").available, u"A 0 bytes");
    EXPECT_EQ(FolderSpaceLabels(u"C:\\", 0, -5, u"R", u"A").available, u"A 0 bytes");
}

}  // namespace
}  // namespace palisade
