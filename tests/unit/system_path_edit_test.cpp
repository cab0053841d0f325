// Which folder goes to the PATH, and how the value changes when it is added
// or taken out: whole elements only, never twice.
#include <gtest/gtest.h>

#include "actions/system_path_edit.h"
#include "core/text.h"

namespace palisade {
namespace {

TEST(SystemPathEdit, FolderComesFromTheSettingAndTheInstallationFolder) {
    EXPECT_EQ(PathFolderFor(u"", u"C:\\App"), u"C:\\App");
    EXPECT_EQ(PathFolderFor(u"bin", u"C:\\App"), u"C:\\App\\bin");
    EXPECT_EQ(PathFolderFor(u"D:\\Tools", u"C:\\App"), u"D:\\Tools");
    EXPECT_EQ(PathFolderFor(u"\\\\server\\share", u"C:\\App"), u"\\\\server\\share");
}

TEST(SystemPathEdit, AddAppendsOnceWithOneSeparator) {
    struct Case {
        std::u16string value;
        std::optional<std::u16string> result;
    };
    const std::u16string folder = u"C:\\App\\bin";
    const Case cases[] = {
        {u"C:\\Windows", u"C:\\Windows;C:\\App\\bin"},
        {u"C:\\Windows;", u"C:\\Windows;C:\\App\\bin"},
        {u"C:\\App\\bin;C:\\Windows", std::nullopt},
        {u"C:\\Windows;c:\\app\\BIN", std::nullopt},
        {u"C:\\Windows;C:\\App\\bin\\;D:\\", std::nullopt},
        {u"C:\\Windows; C:\\App\\bin ;D:\\", std::nullopt},
        // Longer or shorter folders are other elements.
        {u"C:\\App\\bin2;C:\\App", u"C:\\App\\bin2;C:\\App;C:\\App\\bin"},
        {u"X:\\C:\\App\\bin", u"X:\\C:\\App\\bin;C:\\App\\bin"},
    };
    for (const Case& c : cases) EXPECT_EQ(AddFolderToPathValue(c.value, folder), c.result) << Utf16ToUtf8(c.value);
    EXPECT_EQ(AddFolderToPathValue(u"C:\\Windows", u""), std::nullopt);
}

TEST(SystemPathEdit, AddingTwiceChangesNothingTheSecondTime) {
    std::optional<std::u16string> once = AddFolderToPathValue(u"%SystemRoot%\\system32", u"C:\\App");
    ASSERT_TRUE(once.has_value());
    EXPECT_FALSE(AddFolderToPathValue(*once, u"C:\\App").has_value());
}

TEST(SystemPathEdit, RemoveTakesOutEveryMatchingElementAndKeepsTheRest) {
    struct Case {
        std::u16string value;
        std::optional<std::u16string> result;
    };
    const std::u16string folder = u"C:\\App";
    const Case cases[] = {
        {u"C:\\Windows;C:\\App", u"C:\\Windows"},
        {u"C:\\App;C:\\Windows", u"C:\\Windows"},
        {u"C:\\Windows;c:\\app\\;D:\\", u"C:\\Windows;D:\\"},
        {u"C:\\Windows;C:\\App;", u"C:\\Windows;"},
        {u"C:\\App;C:\\Windows;C:\\App", u"C:\\Windows"},
        {u"C:\\App", u""},
        {u"C:\\Windows;;C:\\App", u"C:\\Windows;"},
        {u"C:\\Windows;C:\\App\\bin", std::nullopt},
        {u"C:\\Windows", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RemoveFolderFromPathValue(c.value, folder), c.result) << Utf16ToUtf8(c.value);
    }
}

TEST(SystemPathEdit, RemoveUndoesAdd) {
    const std::u16string original = u"%SystemRoot%\\system32;%SystemRoot%";
    std::optional<std::u16string> added = AddFolderToPathValue(original, u"C:\\Program Files\\App");
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(RemoveFolderFromPathValue(*added, u"C:\\Program Files\\App"), original);
}

}  // namespace
}  // namespace palisade
