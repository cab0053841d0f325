// Finding the files of a `[[files]]` entry (files, folders, globs, excludes) and their time stamps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <chrono>

#include "builder/source_glob.h"
#include "builder/time_stamps.h"
#include "builder_test_support.h"

namespace palisade::tools {
namespace {

using testing::TempFolder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct MatchCase {
    const char* pattern;
    const char* path;
    bool matches;
};

TEST(BuilderSourceGlob, MatchesPathsComponentByComponent) {
    const MatchCase cases[] = {
        {"*.dll", "a.dll", true},
        {"*.dll", "a.dll.bak", false},
        {"*.dll", "sub/a.dll", false},  // '*' stays inside one folder
        {"a?c.txt", "abc.txt", true},
        {"a?c.txt", "ac.txt", false},
        {"**/*.dll", "a.dll", true},    // '**' may stand for no folder at all
        {"**/*.dll", "x/y/z/a.dll", true},
        {"x/**/a.dll", "x/a.dll", true},
        {"x/**/a.dll", "y/a.dll", false},
        {"**", "deep/er/file", true},
        {"*", "", false},
        {"*a*b*", "xxaYYbzz", true},
        {"*a*b", "xxaYYbzz", false},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(MatchPath(c.pattern, c.path), c.matches) << c.pattern << " vs " << c.path;
    }
}

// Where each resolved file is placed, "folder/name", in order.
std::vector<std::string> PlacedNames(const SourceResolution& result) {
    std::vector<std::string> placed;
    for (const SourceFile& file : result.files) {
        placed.push_back((file.relativeFolder.empty() ? "" : file.relativeFolder + "/") + file.fileName);
    }
    return placed;
}

class BuilderSources : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"bin/app.exe", "bin/app.pdb", "bin/lib/a.dll", "bin/lib/deep/b.dll", "bin/readme.txt",
                                 "single.txt"}) {
            folder.Write(file, file);
        }
    }
    std::vector<std::string> Resolve(const std::string& source, const std::vector<std::string>& excludes = {}) {
        SourceResolution result = ResolveSource(folder.Path(), source, excludes);
        error = result.error;
        return PlacedNames(result);
    }
    TempFolder folder;
    std::string error;
};

TEST_F(BuilderSources, AFileIsPlacedInTheDestinationFolder) {
    EXPECT_THAT(Resolve("bin/lib/a.dll"), ElementsAre("a.dll"));
    EXPECT_THAT(Resolve("bin\\lib\\a.dll"), ElementsAre("a.dll"));
}

TEST_F(BuilderSources, AFolderGivesEveryFileBelowItInPathOrder) {
    EXPECT_THAT(Resolve("bin/lib"), ElementsAre("a.dll", "deep/b.dll"));
    EXPECT_THAT(Resolve("bin"), ElementsAre("app.exe", "app.pdb", "lib/a.dll", "lib/deep/b.dll", "readme.txt"));
}

TEST_F(BuilderSources, AGlobKeepsTheFoldersBelowItsFixedPart) {
    EXPECT_THAT(Resolve("bin/*.exe"), ElementsAre("app.exe"));
    EXPECT_THAT(Resolve("bin/**/*.dll"), ElementsAre("lib/a.dll", "lib/deep/b.dll"));
    EXPECT_THAT(Resolve("bin/lib/**"), ElementsAre("a.dll", "deep/b.dll"));
}

TEST_F(BuilderSources, ExcludesMatchNamesOrRelativePaths) {
    EXPECT_THAT(Resolve("bin", {"*.pdb", "lib/deep/**"}), ElementsAre("app.exe", "lib/a.dll", "readme.txt"));
}

TEST_F(BuilderSources, MissingOrEmptySourcesAreErrors) {
    EXPECT_THAT(Resolve("nothing.txt"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("does not exist"));
    EXPECT_THAT(Resolve("bin/*.so"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("matches no file"));
    EXPECT_THAT(Resolve("gone/**/*.dll"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("does not exist"));
    EXPECT_THAT(Resolve("bin", {"*"}), ElementsAre());
    EXPECT_THAT(error, HasSubstr("matches no file"));
}

TEST(BuilderSourceGlob, ManyDoubleStarsMatchInTimeProportionalToTheirCount) {
    // Matching by trying every split of the path for every `**` would take
    // longer than the age of the universe here.
    std::string pattern, deep;
    for (int i = 0; i < 30; ++i) pattern += "**/";
    for (int i = 0; i < 60; ++i) deep += "d/";
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchPath(pattern + "x", deep + "y"));
    EXPECT_TRUE(MatchPath(pattern + "y", deep + "y"));
    EXPECT_FALSE(MatchPath(pattern + "d/d/x/**/y", deep + "y"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(BuilderSourceGlob, APatternKnowsWhatAFolderCanStillHold) {
    PathPattern pattern("lib/**/*.dll");
    PathPattern::State lib = pattern.Step(pattern.Start(), "lib");
    PathPattern::State docs = pattern.Step(pattern.Start(), "docs");
    EXPECT_TRUE(pattern.ReachesBelow(lib));
    EXPECT_TRUE(pattern.ReachesBelow(pattern.Step(lib, "deep")));
    EXPECT_FALSE(pattern.ReachesBelow(docs));
    EXPECT_FALSE(pattern.CoversAllBelow(lib));
    PathPattern everything("cache/**");
    EXPECT_TRUE(everything.CoversAllBelow(everything.Step(everything.Start(), "cache")));
    EXPECT_FALSE(everything.CoversAllBelow(everything.Start()));
    PathPattern one("a/b");
    EXPECT_FALSE(one.ReachesBelow(one.Step(one.Step(one.Start(), "a"), "b")));  // a/b is the file itself
}

// Links met while walking a source folder. The project is a folder inside a
// temporary folder that also holds an "outside" folder.
class BuilderSourceLinks : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("outside/secret.txt", "secret");
        folder.Write("outside/more/key.txt", "key");
        folder.Write("project/bin/app.exe", "app");
        folder.Write("project/shared/common.dll", "common");
    }
    void Link(const std::string& target, const std::string& link) {
        std::filesystem::create_symlink(target, folder / ("project/" + link));
    }
    std::vector<std::string> Resolve(const std::string& source, const std::vector<std::string>& excludes = {}) {
        SourceResolution result = ResolveSource(folder / "project", source, excludes);
        error = result.error;
        return PlacedNames(result);
    }
    TempFolder folder;
    std::string error;
};

TEST_F(BuilderSourceLinks, LinksInsideTheProjectAreFollowed) {
    Link("../shared/common.dll", "bin/common.dll");
    Link("../shared", "bin/lib");
    EXPECT_THAT(Resolve("bin"), ElementsAre("app.exe", "common.dll", "lib/common.dll"));
    EXPECT_EQ(error, "");
}

TEST_F(BuilderSourceLinks, ALinkOutOfTheProjectIsRefusedByName) {
    Link("../../outside/secret.txt", "bin/secret.txt");
    EXPECT_THAT(Resolve("bin"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("'secret.txt' is a link to '"));
    EXPECT_THAT(error, HasSubstr("outside the project folder"));
    std::filesystem::remove(folder / "project/bin/secret.txt");

    Link("../../outside", "bin/data");
    EXPECT_THAT(Resolve("bin/**/*.txt"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("'data' is a link to '"));
}

TEST_F(BuilderSourceLinks, ALinkOutIsOnlyAnErrorWhenItWouldBeTaken) {
    Link("../../outside/secret.txt", "bin/secret.txt");
    Link("../../outside", "bin/data");
    EXPECT_THAT(Resolve("bin/*.exe"), ElementsAre("app.exe"));
    EXPECT_EQ(error, "");
    EXPECT_THAT(Resolve("bin", {"*.txt", "data/**"}), ElementsAre("app.exe"));
    EXPECT_EQ(error, "");
}

TEST_F(BuilderSourceLinks, ANamedSourceIsTakenWhereverItLeads) {
    Link("../outside/secret.txt", "secret.txt");
    Link("../outside", "vendor");
    EXPECT_THAT(Resolve("secret.txt"), ElementsAre("secret.txt"));
    EXPECT_THAT(Resolve("vendor"), ElementsAre("more/key.txt", "secret.txt"));
    EXPECT_THAT(Resolve("../outside/**/*.txt"), ElementsAre("more/key.txt", "secret.txt"));
    EXPECT_EQ(error, "");
}

TEST_F(BuilderSourceLinks, ALoopAndADanglingLinkAreNamed) {
    Link("..", "bin/again");
    EXPECT_THAT(Resolve("bin"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("'again/bin' leads back to a folder that holds it (a loop made by a link)"));
    EXPECT_THAT(Resolve("bin/*.exe"), ElementsAre("app.exe"));  // the loop is never entered
    std::filesystem::remove(folder / "project/bin/again");

    Link("gone.dll", "bin/gone.dll");
    EXPECT_THAT(Resolve("bin"), ElementsAre());
    EXPECT_THAT(error, HasSubstr("'gone.dll' is a link that leads nowhere"));
    EXPECT_THAT(Resolve("bin", {"*.dll"}), ElementsAre("app.exe"));
}

TEST(BuilderTimeStamps, ParsesTheProjectFileForms) {
    struct Case {
        const char* text;
        bool valid;
        FileTimeStamp expected;
    };
    const Case cases[] = {
        {"2024-05-01 12:30:45", true, {2024, 5, 1, 12, 30, 45}},
        {"2024-05-01T12:30:45Z", true, {2024, 5, 1, 12, 30, 45}},
        {"2024-05-01T00:30:00+01:00", true, {2024, 4, 30, 23, 30, 0}},  // back over a month end
        {"2023-12-31T23:30:00-01:00", true, {2024, 1, 1, 0, 30, 0}},     // forward over a year end
        {"2024-02-29", true, {2024, 2, 29, -1, 0, 0}},                   // a date without a time
        {"none", true, {0, 0, 0, -1, 0, 0}},
        {"2023-02-29", false, {}},
        {"2024-05-01 24:00:00", false, {}},
        {"2024-5-1", false, {}},
        {"2024-05-01 12:30", false, {}},
        {"2024-05-01T12:30:45+1", false, {}},
    };
    for (const Case& c : cases) {
        std::optional<FileTimeStamp> stamp = ParseTimeStamp(c.text);
        EXPECT_EQ(stamp.has_value(), c.valid) << c.text;
        if (stamp && c.valid) {
            EXPECT_TRUE(*stamp == c.expected) << c.text << " -> " << TimeStampText(*stamp);
        }
    }
}

TEST(BuilderTimeStamps, TheSourceTimeIsTheModificationTimeInUtc) {
    TempFolder folder;
    std::filesystem::path file = folder.Write("f.txt", "x");
    struct utimbuf times {};
    times.actime = times.modtime = 1700000000;  // 2023-11-14 22:13:20 UTC
    ASSERT_EQ(utime(file.c_str(), &times), 0);
    std::optional<FileTimeStamp> stamp = ModificationTimeUtc(file);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(TimeStampText(*stamp), "2023/11/14 22:13:20");
    EXPECT_FALSE(ModificationTimeUtc(folder / "missing"));
}

}  // namespace
}  // namespace palisade::tools
