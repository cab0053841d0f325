// The stub's resource script, compiled by windres, against the template table:
// every dialog with exactly its style, font, size and controls (id, class,
// style, rectangle, text, in order), and the pictures and icon in the formats
// the pages show.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/text.h"
#include "payload/vendor_record.h"
#include "ui/dialog_template.h"
#include "ui/dib_picture.h"
#include "ui/resources/resource_ids.h"
#include "ui/template_table.h"
#include "ui_resource_file.h"

namespace palisade {
namespace {

constexpr std::uint16_t kResourceBitmap = 2;
constexpr std::uint16_t kResourceDialog = 5;
constexpr std::uint16_t kResourceData = 10;
constexpr std::uint16_t kResourceIconGroup = 14;

class StubResources : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::optional<std::vector<std::uint8_t>> res = test::CompileStubResources();
        if (res) s_entries = test::ReadResourceFile(*res);
    }
    void SetUp() override {
        if (!s_entries) GTEST_SKIP() << "i686-w64-mingw32-windres is not available";
    }

    static std::vector<const test::ResourceEntry*> OfType(std::uint16_t type) {
        std::vector<const test::ResourceEntry*> found;
        for (const test::ResourceEntry& entry : *s_entries) {
            if (entry.type.kind == TemplateName::Kind::Ordinal && entry.type.ordinal == type) found.push_back(&entry);
        }
        return found;
    }
    static const test::ResourceEntry* Numbered(std::uint16_t type, std::uint16_t id) {
        for (const test::ResourceEntry* entry : OfType(type)) {
            if (entry->name.kind == TemplateName::Kind::Ordinal && entry->name.ordinal == id) return entry;
        }
        return nullptr;
    }

    static std::optional<std::vector<test::ResourceEntry>> s_entries;
};
std::optional<std::vector<test::ResourceEntry>> StubResources::s_entries;

// Class names as windres stores them: the six predefined classes may come as
// ordinals, every other as text; the system compares names ignoring case.
std::u16string ClassName(const TemplateName& name) {
    static const std::map<std::uint16_t, std::u16string> kPredefined = {
        {0x80, u"Button"}, {0x81, u"Edit"}, {0x82, u"Static"}, {0x83, u"ListBox"}, {0x84, u"ScrollBar"}, {0x85, u"ComboBox"}};
    if (name.kind == TemplateName::Kind::Ordinal) {
        auto found = kPredefined.find(name.ordinal);
        return found == kPredefined.end() ? u"#" + ToU16(name.ordinal) : found->second;
    }
    return name.text;
}

std::string Narrow(std::u16string_view text) { return Utf16ToUtf8(text); }

void ExpectControl(const ControlSpec& expected, const DialogItemTemplate& item, const std::string& where) {
    SCOPED_TRACE(where + " control " + std::to_string(expected.id));
    EXPECT_EQ(item.id, expected.id);
    EXPECT_TRUE(EqualsIgnoreCase(ClassName(item.className), Widen(expected.className)))
        << Narrow(ClassName(item.className)) << " is not " << expected.className;
    EXPECT_EQ(item.style, expected.style) << std::hex << "style 0x" << item.style << " instead of 0x" << expected.style;
    EXPECT_EQ(item.exStyle, 0u);
    EXPECT_EQ(item.x, expected.x);
    EXPECT_EQ(item.y, expected.y);
    EXPECT_EQ(item.width, expected.width);
    EXPECT_EQ(item.height, expected.height);
    std::u16string title = item.title.kind == TemplateName::Kind::Text ? item.title.text : u"";
    EXPECT_EQ(Narrow(title), Narrow(expected.text));
    EXPECT_EQ(item.extraSize, 0);
}

TEST_F(StubResources, EveryDialogIsExactlyAsTheTableDescribesIt) {
    std::set<std::string> seen;
    for (const test::ResourceEntry* entry : OfType(kResourceDialog)) {
        ASSERT_EQ(entry->name.kind, TemplateName::Kind::Text);
        const std::string name = Narrow(entry->name.text);
        const DialogSpec* expected = FindDialogSpec(name);
        ASSERT_NE(expected, nullptr) << "the resources hold a dialog the table does not know: " << name;
        seen.insert(expected->name);
        SCOPED_TRACE(expected->name);

        DialogTemplateRead read = ReadDialogTemplate(entry->data);
        ASSERT_TRUE(read.dialog) << "unreadable at byte " << read.errorOffset;
        const DialogTemplate& dialog = *read.dialog;
        EXPECT_EQ(dialog.extended, expected->extended);
        EXPECT_EQ(dialog.style, expected->style) << std::hex << "style 0x" << dialog.style;
        EXPECT_EQ(dialog.exStyle, 0u);
        EXPECT_EQ(dialog.width, expected->width);
        EXPECT_EQ(dialog.height, expected->height);
        EXPECT_TRUE(dialog.title.empty()) << "captions are set at run time";
        EXPECT_EQ(dialog.menu.kind, TemplateName::Kind::None);
        EXPECT_EQ(Narrow(dialog.face), Narrow(expected->face));
        EXPECT_EQ(dialog.points, expected->points);
        EXPECT_EQ(dialog.weight, expected->weight);
        EXPECT_EQ(dialog.italic, 0);
        EXPECT_EQ(dialog.charset, expected->charset);
        ASSERT_EQ(dialog.items.size(), expected->controls.size());
        for (std::size_t i = 0; i < dialog.items.size(); ++i) ExpectControl(expected->controls[i], dialog.items[i], expected->name);
    }
    for (const DialogSpec& expected : StubDialogSpecs()) {
        EXPECT_TRUE(seen.count(expected.name)) << "missing from the resources: " << expected.name;
    }
}

// The pictures are xz-compressed BMP files; the pages decode them with the
// same reader.
TEST_F(StubResources, PicturesHaveTheSizesAndFormatsThePagesShow) {
    struct Case {
        std::uint16_t id;
        int width, height, bits;
    } cases[] = {
        {IDB_SIDE_PICTURE, 212, 424, 24},      {IDB_BANNER_PICTURE, 600, 64, 24},
        {IDB_BUTTON_NEXT, 64, 64, 32},         {IDB_BUTTON_CANCEL, 64, 64, 32},
        {IDB_BUTTON_BROWSE, 64, 64, 32},       {IDB_BUTTON_NO_TO_ALL, 64, 64, 32},
        {IDB_BUTTON_YES_TO_ALL, 64, 64, 32},
    };
    EXPECT_TRUE(OfType(kResourceBitmap).empty()) << "pictures are stored compressed, as data";
    // The pictures, and the record of the crash-report values (empty until
    // the builder fills it in).
    EXPECT_EQ(OfType(kResourceData).size(), std::size(cases) + 1);
    const test::ResourceEntry* vendor = Numbered(kResourceData, IDR_CRASH_VENDOR);
    ASSERT_NE(vendor, nullptr);
    EXPECT_EQ(vendor->data, EmptyVendorRecord());
    std::size_t packedBytes = 0;
    for (const Case& c : cases) {
        const test::ResourceEntry* entry = Numbered(kResourceData, c.id);
        ASSERT_NE(entry, nullptr) << "picture " << c.id;
        packedBytes += entry->data.size();
        std::optional<DibPicture> picture = ReadPackedBmp(ByteView(entry->data));
        ASSERT_TRUE(picture) << c.id;
        EXPECT_EQ(picture->width, c.width) << c.id;
        EXPECT_EQ(picture->height, c.height) << c.id;
        EXPECT_EQ(picture->bitsPerPixel, c.bits) << c.id;
    }
    // What keeps the stub small: the pictures are a few kilobytes packed.
    EXPECT_LT(packedBytes, 16u * 1024);
}

TEST_F(StubResources, TheButtonPicturesArePremultiplied) {
    // Alpha blending with per-pixel alpha expects no colour brighter than its alpha.
    for (std::uint16_t id = IDB_BUTTON_NEXT; id <= IDB_BUTTON_YES_TO_ALL; ++id) {
        const test::ResourceEntry* entry = Numbered(kResourceData, id);
        ASSERT_NE(entry, nullptr);
        std::optional<DibPicture> picture = ReadPackedBmp(ByteView(entry->data));
        ASSERT_TRUE(picture) << id;
        bool anyTransparent = false, anyOpaque = false;
        for (std::size_t p = 0; p + 4 <= picture->bits.size(); p += 4) {
            std::uint8_t alpha = picture->bits[p + 3];
            for (int channel = 0; channel < 3; ++channel) ASSERT_LE(picture->bits[p + channel], alpha) << id;
            anyTransparent |= alpha == 0;
            anyOpaque |= alpha == 255;
        }
        EXPECT_TRUE(anyTransparent && anyOpaque) << id;
    }
}

TEST_F(StubResources, TheIconCarriesTheUsualSizes) {
    const test::ResourceEntry* group = Numbered(kResourceIconGroup, IDI_APPLICATION_ICON);
    ASSERT_NE(group, nullptr);
    ASSERT_GE(group->data.size(), 6u);
    std::size_t count = LoadU16(&group->data[4]);
    ASSERT_EQ(group->data.size(), 6 + 14 * count);
    std::set<int> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = &group->data[6 + 14 * i];
        sizes.insert(entry[0] == 0 ? 256 : entry[0]);
        EXPECT_EQ(entry[0], entry[1]);
        EXPECT_EQ(LoadU16(entry + 6), 32) << "bits of picture " << i;
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
}

}  // namespace
}  // namespace palisade
