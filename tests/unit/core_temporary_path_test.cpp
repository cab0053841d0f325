// Where the temporary beside a file goes: it must fit wherever the file fits.
#include <gtest/gtest.h>

#include "core/temporary_path.h"

namespace palisade {
namespace {

TEST(TemporaryPath, SuffixGoesAfterTheNameAndALongNameIsCutToFit) {
    EXPECT_EQ(PathWithNameSuffix(u"C:\\App\\tool.exe", u".new"), u"C:\\App\\tool.exe.new");
    EXPECT_EQ(PathWithNameSuffix(u"C:/App/tool.exe", u".new"), u"C:/App/tool.exe.new");
    EXPECT_EQ(PathWithNameSuffix(u"tool.exe", u".new"), u"tool.exe.new");

    // Only the file name is cut, never the folders, and only as far as needed.
    const std::u16string folder = u"C:\\" + std::u16string(300, u'f') + u"\\";
    const std::u16string suffix = u".palisade-new";
    for (std::size_t length : {kLongestFileName - suffix.size(), kLongestFileName - suffix.size() + 1,
                               kLongestFileName}) {
        std::u16string name(length, u'n');
        std::u16string temporary = PathWithNameSuffix(folder + name, suffix);
        ASSERT_EQ(temporary.substr(0, folder.size()), folder) << length;
        std::u16string temporaryName = temporary.substr(folder.size());
        EXPECT_EQ(temporaryName.size(), std::min(length + suffix.size(), kLongestFileName)) << length;
        EXPECT_EQ(temporaryName.substr(temporaryName.size() - suffix.size()), suffix) << length;
    }
    // The same target always gives the same name, so a left-over temporary is found again.
    std::u16string longName = folder + std::u16string(kLongestFileName, u'x');
    EXPECT_EQ(PathWithNameSuffix(longName, suffix), PathWithNameSuffix(longName, suffix));
}

TEST(TemporaryPath, CutNeverSplitsASurrogatePair) {
    const std::u16string suffix = u".new";
    const std::size_t room = kLongestFileName - suffix.size();
    // A pair straddles the cut: both halves go.
    std::u16string name = std::u16string(room - 1, u'a') + u"\U0001F600" + u"tail";
    std::u16string temporary = PathWithNameSuffix(u"C:\\" + name, suffix);
    EXPECT_EQ(temporary, u"C:\\" + std::u16string(room - 1, u'a') + suffix);
    // A pair that ends at the cut stays whole.
    name = std::u16string(room - 2, u'a') + u"\U0001F600" + u"tail";
    temporary = PathWithNameSuffix(u"C:\\" + name, suffix);
    EXPECT_EQ(temporary, u"C:\\" + std::u16string(room - 2, u'a') + u"\U0001F600" + suffix);
}

TEST(TemporaryPath, ExtendedLengthFormForDrivesSharesAndPathsAlreadyExtended) {
    EXPECT_EQ(ExtendedLengthPath(u"C:\\App\\tool.exe"), u"\\\\?\\C:\\App\\tool.exe");
    EXPECT_EQ(ExtendedLengthPath(u"\\\\server\\share\\tool.exe"), u"\\\\?\\UNC\\server\\share\\tool.exe");
    EXPECT_EQ(ExtendedLengthPath(u"\\\\?\\C:\\tool.exe"), u"\\\\?\\C:\\tool.exe");
    EXPECT_EQ(ExtendedLengthPath(u"\\\\.\\pipe\\name"), u"\\\\.\\pipe\\name");
}

}  // namespace
}  // namespace palisade
