// The levels a path passes through below a folder: what the installer and the
// uninstaller check for junctions before they write or delete.
#include "core/folder_levels.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

using Levels = std::vector<std::u16string>;

TEST(FolderLevels, EveryLevelBelowTheFolderDownToThePath) {
    EXPECT_EQ(LevelsBelow(u"C:\\App\\a\\b\\f.txt", u"C:\\App"),
              (Levels{u"C:\\App\\a", u"C:\\App\\a\\b", u"C:\\App\\a\\b\\f.txt"}));
    EXPECT_EQ(LevelsBelow(u"c:\\APP\\f.txt", u"C:\\App\\"), (Levels{u"c:\\APP\\f.txt"}));
    EXPECT_EQ(LevelsBelow(u"C:\\App\\a\\\\f.txt", u"C:\\App"), (Levels{u"C:\\App\\a", u"C:\\App\\a\\\\f.txt"}));
}

TEST(FolderLevels, NothingForAPathOutsideTheFolder) {
    for (const char16_t* path : {u"C:\\App", u"C:\\App\\", u"C:\\Apple\\f.txt", u"D:\\App\\f.txt", u""}) {
        EXPECT_TRUE(LevelsBelow(path, u"C:\\App").empty());
    }
    EXPECT_TRUE(LevelsBelow(u"C:\\App\\f.txt", u"").empty());
}

}  // namespace
}  // namespace palisade
