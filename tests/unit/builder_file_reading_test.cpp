// Reading the files a build names: the bytes, or why they cannot be read, before any is read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "builder_test_support.h"
#include "common/file_reading.h"

namespace palisade::tools {
namespace {

using ::testing::HasSubstr;

TEST(FileReading, ReadsTheWholeFile) {
    testing::TempFolder folder;
    std::string content = std::string(100000, 'x') + "end";
    FileBytes file = ReadFileBytes(folder.Write("a.bin", content));
    ASSERT_TRUE(file.Ok()) << file.error;
    EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()), content);
    EXPECT_TRUE(ReadFileBytes(folder.Write("empty", "")).Ok());
    EXPECT_EQ(WhyUnreadable(folder / "a.bin"), "");
}

TEST(FileReading, SaysWhyAFileCannotBeRead) {
    testing::TempFolder folder;
    std::filesystem::create_directories(folder / "sub");
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    struct Case {
        std::string name;
        const char* why;
    };
    const Case cases[] = {
        {"missing", "it does not exist"},
        {"sub", "it is a folder, not a file"},
        {"pipe", "it is not a regular file"},  // refused, not waited on for a writer
    };
    for (const Case& c : cases) {
        FileBytes file = ReadFileBytes(folder / c.name);
        EXPECT_EQ(file.error, "cannot read '" + (folder / c.name).string() + "': " + c.why);
        EXPECT_TRUE(file.bytes.empty());
        EXPECT_EQ(WhyUnreadable(folder / c.name), c.why);
    }
}

TEST(FileReading, AFileAboveTheLimitIsRefusedBeforeItIsRead) {
    testing::TempFolder folder;
    std::filesystem::path path = folder.Write("big", "");
    // Sparse: 3 GiB that take no room and would take memory only if read.
    ASSERT_EQ(truncate(path.c_str(), 3LL << 30), 0);
    FileBytes file = ReadFileBytes(path, 1u << 30, "an item holds at most 1 GiB");
    EXPECT_THAT(file.error, HasSubstr("it is 3221225472 bytes; an item holds at most 1 GiB"));
    EXPECT_TRUE(file.bytes.empty());
    EXPECT_TRUE(ReadFileBytes(folder.Write("small", "12345"), 5).Ok());
    EXPECT_FALSE(ReadFileBytes(folder / "small", 4).Ok());
}

}  // namespace
}  // namespace palisade::tools
