// The builder's portable resource tree: read, rewritten into a new section,
// icons replaced as the installer replaces them, version texts read.
#include "builder/pe_resources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "builder/build_command.h"
#include "builder/installer_builder.h"
#include "builder_test_support.h"
#include "common/progress.h"
#include "builder/pe_sections.h"
#include "payload/little_endian.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

// One node of a version resource, written as the resource compiler writes it.
std::vector<std::uint8_t> VersionNode(const std::u16string& key, const std::vector<std::uint8_t>& value, bool text,
                                      const std::vector<std::vector<std::uint8_t>>& children = {}) {
    std::vector<std::uint8_t> out(6, 0);
    for (char16_t c : key) AppendU16(out, c);
    AppendU16(out, 0);
    while (out.size() % 4) out.push_back(0);
    out.insert(out.end(), value.begin(), value.end());
    while (out.size() % 4) out.push_back(0);
    for (const auto& child : children) {
        out.insert(out.end(), child.begin(), child.end());
        while (out.size() % 4) out.push_back(0);
    }
    StoreU16(&out[0], std::uint16_t(out.size()));
    StoreU16(&out[2], std::uint16_t(text ? value.size() / 2 : value.size()));
    StoreU16(&out[4], text ? 1 : 0);
    return out;
}

std::vector<std::uint8_t> Wide(const std::u16string& text) {
    std::vector<std::uint8_t> out;
    for (char16_t c : text) AppendU16(out, c);
    AppendU16(out, 0);
    return out;
}

std::vector<std::uint8_t> VersionResource(const std::u16string& table, const std::u16string& fileVersion,
                                          std::uint16_t language, std::uint16_t codePage) {
    std::vector<std::uint8_t> translation;
    AppendU16(translation, language);
    AppendU16(translation, codePage);
    auto strings = VersionNode(u"StringFileInfo", {}, true,
                               {VersionNode(table, {}, true,
                                            {VersionNode(u"CompanyName", Wide(u"Maker"), true),
                                             VersionNode(u"FileVersion", Wide(fileVersion), true)})});
    auto vars = VersionNode(u"VarFileInfo", {}, true, {VersionNode(u"Translation", translation, false)});
    return VersionNode(u"VS_VERSION_INFO", std::vector<std::uint8_t>(52, 0), false, {strings, vars});
}

Resource Make(std::uint16_t type, std::uint16_t id, std::uint16_t language, std::vector<std::uint8_t> data) {
    Resource resource;
    resource.type.id = type;
    resource.name.id = id;
    resource.language = language;
    resource.data = std::move(data);
    return resource;
}

// An icon file with `count` pictures of distinct sizes.
std::vector<std::uint8_t> IconFile(int count) {
    std::vector<std::uint8_t> file;
    AppendU16(file, 0);
    AppendU16(file, 1);
    AppendU16(file, std::uint16_t(count));
    std::size_t offset = 6 + 16 * std::size_t(count);
    for (int i = 0; i < count; ++i) {
        file.insert(file.end(), {std::uint8_t(16 * (i + 1)), std::uint8_t(16 * (i + 1)), 0, 0});
        AppendU16(file, 1);
        AppendU16(file, 32);
        AppendU32(file, 40);
        AppendU32(file, std::uint32_t(offset + 40 * i));
    }
    for (int i = 0; i < count; ++i) file.insert(file.end(), 40, std::uint8_t(0xA0 + i));
    return file;
}

std::vector<Resource> SampleResources() {
    Resource named = Make(10, 0, 0x409, {1, 2, 3});
    named.name.name = u"Settings";
    return {Make(3, 1, 0x409, {9, 9}), Make(3, 2, 0x409, {8}), Make(14, 101, 0x409, {7, 7, 7}),
            Make(24, 1, 0, {'<', 'x', '/', '>'}), named,
            Make(16, 1, 0x409, VersionResource(u"040904b0", u" 2, 5, 0, 11 ", 0x409, 0x4b0))};
}

std::vector<std::uint8_t> ImageWith(const std::vector<Resource>& resources) {
    std::vector<std::uint8_t> image = ::palisade::testing::MakeStub();
    EXPECT_EQ(ReplaceResourceSection(image, resources), "");
    return image;
}

TEST(PeResources, WrittenTreesReadBackWithEveryResource) {
    std::vector<std::uint8_t> image = ImageWith(SampleResources());
    ResourceRead read = ReadResources(image);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.resources.size(), 6u);
    EXPECT_EQ(read.resources[0].type.id, 3);  // sorted: types by number
    EXPECT_EQ(read.resources[0].data, (std::vector<std::uint8_t>{9, 9}));
    const Resource* named = nullptr;
    for (const Resource& resource : read.resources) {
        if (resource.name.IsNamed()) named = &resource;
    }
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->name.name, u"Settings");
    EXPECT_EQ(named->data, (std::vector<std::uint8_t>{1, 2, 3}));
    // Written again into another image, the tree gives the same resources.
    std::vector<std::uint8_t> again = ImageWith(read.resources);
    ResourceRead reread = ReadResources(again);
    ASSERT_EQ(reread.resources.size(), read.resources.size());
    for (std::size_t i = 0; i < read.resources.size(); ++i) {
        EXPECT_EQ(reread.resources[i].data, read.resources[i].data) << i;
        EXPECT_EQ(reread.resources[i].language, read.resources[i].language) << i;
    }
}

TEST(PeResources, TheNewSectionIsTheLastAndTheImageStaysValid) {
    std::vector<std::uint8_t> image = ImageWith(SampleResources());
    std::optional<PeSections> sections = ReadPeSections(image);
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->sections.size(), 5u);
    const PeSection& last = sections->sections.back();
    EXPECT_EQ(sections->resourceDirectoryRva, last.virtualAddress);
    EXPECT_EQ(last.rawPosition + last.rawSize, image.size());
    EXPECT_EQ(::palisade::testing::Get32(image, ::palisade::testing::kStubPeOffset + 80),
              last.virtualAddress + 0x1000u) << "the image size covers the new section";
}

TEST(PeResources, IconsAreReplacedAsTheInstallerReplacesThem) {
    std::vector<Resource> resources = SampleResources();
    ASSERT_EQ(ReplaceIcons(resources, IconFile(3)), "");
    std::vector<std::uint8_t> image = ImageWith(resources);
    ResourceRead read = ReadResources(image);
    std::vector<std::uint16_t> pictures;
    const Resource* group = nullptr;
    for (const Resource& resource : read.resources) {
        if (resource.type.id == kResourceIcon) pictures.push_back(resource.name.id);
        if (resource.type.id == kResourceIconGroup) group = &resource;
    }
    EXPECT_EQ(pictures, (std::vector<std::uint16_t>{1, 2, 3}));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->name.id, 101) << "the first group keeps its number";
    EXPECT_EQ(group->language, 0x409);
    EXPECT_EQ(LoadU16(group->data.data() + 4), 3) << "the group lists the three pictures";
    EXPECT_EQ(read.resources.size(), 3u + 1u + 3u) << "manifest, named and version resources stay";

    std::vector<Resource> none = {Make(24, 1, 0, {1})};
    ASSERT_EQ(ReplaceIcons(none, IconFile(1)), "");
    EXPECT_EQ(none.back().name.id, 1) << "without a group: group 1, language neutral";
    EXPECT_EQ(none.back().language, 0);
    EXPECT_NE(ReplaceIcons(none, std::vector<std::uint8_t>{1, 2, 3}), "");
}

TEST(PeResources, VersionTextsAreReadAsTheInstallerReadsThem) {
    EXPECT_EQ(ReadFileVersionText(ImageWith(SampleResources())), "2. 5. 0. 11");
    struct Case { std::u16string table; std::uint16_t language, codePage; const char* expected; };
    const Case cases[] = {
        {u"041104b0", 0x411, 0x4b0, "2.5"},  // the resource's own translation
        {u"040904E4", 0x407, 0x4b0, "2.5"},  // a usual table when the translation has none
        {u"041104b0", 0x407, 0x4b0, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<Resource> resources = {Make(16, 1, 0x409, VersionResource(c.table, u"2,5", c.language, c.codePage))};
        std::optional<std::string> text = ReadFileVersionText(ImageWith(resources));
        if (c.expected) {
            EXPECT_EQ(text, c.expected);
        } else {
            EXPECT_FALSE(text);
        }
    }
    EXPECT_FALSE(ReadFileVersionText(::palisade::testing::MakeStub())) << "no resources";
    EXPECT_FALSE(ReadFileVersionText(std::vector<std::uint8_t>{'M', 'Z'})) << "no image";
}

TEST(PeResources, DamagedTreesAreRefusedNotFollowed) {
    std::vector<std::uint8_t> image = ImageWith(SampleResources());
    std::optional<PeSections> sections = ReadPeSections(image);
    std::size_t root = sections->sections.back().rawPosition;
    // The root's first entry pointing back at the root: a loop the reader must not follow.
    std::vector<std::uint8_t> loop = image;
    StoreU32(&loop[root + 16 + 4], 0x80000000u);
    EXPECT_NE(ReadResources(loop).error, "");
    std::vector<std::uint8_t> counts = image;
    StoreU16(&counts[root + 14], 0xFFFF);
    EXPECT_NE(ReadResources(counts).error, "");
    for (std::size_t cut = root; cut < image.size(); cut += 7) {
        std::vector<std::uint8_t> shortImage(image.begin(), image.begin() + cut);
        ResourceRead read = ReadResources(shortImage);  // must not read beyond the bytes
        EXPECT_LE(read.resources.size(), 6u);
    }
}

TEST(PeResources, TheStubsOwnResourcesSurviveTheRewrite) {
    std::ifstream in(DefaultStubPath(), std::ios::binary);
    if (!in) GTEST_SKIP() << "no stub at " << DefaultStubPath() << " (make windows builds it)";
    std::vector<std::uint8_t> stub((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ResourceRead read = ReadResources(stub);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(ReadFileVersionText(stub), "0.1.0");
    std::vector<std::uint8_t> rewritten = stub;
    ASSERT_EQ(ReplaceResourceSection(rewritten, read.resources), "");
    ResourceRead again = ReadResources(rewritten);
    ASSERT_EQ(again.resources.size(), read.resources.size());
    for (std::size_t i = 0; i < read.resources.size(); ++i) EXPECT_EQ(again.resources[i].data, read.resources[i].data);
    EXPECT_EQ(ReadFileVersionText(rewritten), "0.1.0");
}

// A version-checked file without a version in the project is compared by
// the version its own resource gives; one the project names wins.
TEST(PeResources, VersionCheckedFilesTakeTheirOwnVersion) {
    std::ifstream in(DefaultStubPath(), std::ios::binary);
    if (!in) GTEST_SKIP() << "no stub at " << DefaultStubPath() << " (make windows builds it)";
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    testing::TempFolder folder;
    folder.Write("tool.dll", image);
    folder.Write("plain.txt", "no resource");
    Diagnostics diagnostics;
    std::optional<Project> project = testing::ReadProjectText(
        folder,
        "ProductName = \"P\"\n"
        "[[files]]\nsource = \"tool.dll\"\nkind = \"newer-only\"\n"
        "[[files]]\nsource = \"tool.dll\"\nname = \"named.dll\"\nkind = \"system\"\nversion = \"7.1\"\n"
        "[[files]]\nsource = \"plain.txt\"\nkind = \"newer-only\"\n"
        "[[files]]\nsource = \"tool.dll\"\nname = \"data.bin\"\n",
        diagnostics);
    ASSERT_TRUE(project) << ::testing::PrintToString(testing::Messages(diagnostics));
    Progress quiet(true);
    std::optional<std::vector<PayloadItem>> items = CollectItems(*project, quiet, diagnostics);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 4u);
    EXPECT_EQ((*items)[0].info, "0.1.0");
    EXPECT_EQ((*items)[1].info, "7.1");
    EXPECT_EQ((*items)[2].info, "");  // compared by date alone
    EXPECT_EQ((*items)[3].info, "");  // a plain file has no comparison
}

}  // namespace
}  // namespace palisade::tools
