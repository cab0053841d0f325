// Dialog templates as bytes: reading both forms, truncation, and the copy
// with the installer's dialog font.
#include <gtest/gtest.h>

#include "payload/little_endian.h"
#include "ui/dialog_template.h"
#include "ui/window_styles.h"

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

void AppendText(Bytes& out, std::u16string_view text) {
    for (char16_t unit : text) AppendU16(out, unit);
    AppendU16(out, 0);
}
void Align(Bytes& out) { out.resize((out.size() + 3) & ~std::size_t(3), 0); }

struct Item {
    std::uint32_t id;
    std::uint16_t classOrdinal;  // 0: the class is `classText`
    std::u16string classText;
    std::u16string title;
    Bytes extra;
};

const std::vector<Item> kItems = {
    {1009, 0x82, u"", u"Page text", {}},
    {1007, 0, u"msctls_progress32", u"", {}},
    {1001, 0x80, u"", u"&Next", {0xAA, 0xBB}},
};

void AppendItem(Bytes& out, const Item& item, bool extended, std::int16_t index) {
    Align(out);
    if (extended) AppendU32(out, 0x77);  // help id
    AppendU32(out, extended ? 0x200 : style::kChild | style::kVisible);
    AppendU32(out, extended ? style::kChild | style::kVisible : 0x200);
    const std::int16_t rect[] = {std::int16_t(index * 10), std::int16_t(index * 10 + 1), 78, -13};
    for (std::int16_t v : rect) AppendU16(out, std::uint16_t(v));
    if (extended) {
        AppendU32(out, item.id);
    } else {
        AppendU16(out, std::uint16_t(item.id));
    }
    if (item.classOrdinal) {
        AppendU16(out, 0xFFFF);
        AppendU16(out, item.classOrdinal);
    } else {
        AppendText(out, item.classText);
    }
    AppendText(out, item.title);
    AppendU16(out, std::uint16_t(item.extra.size()));
    out.insert(out.end(), item.extra.begin(), item.extra.end());
}

Bytes Template(bool extended, std::u16string_view face, std::uint32_t dialogStyle = style::kDsSetFont | style::kPopup) {
    Bytes out;
    if (extended) {
        AppendU16(out, 1);
        AppendU16(out, 0xFFFF);
        AppendU32(out, 5);  // help id
        AppendU32(out, 0);
        AppendU32(out, dialogStyle);
    } else {
        AppendU32(out, dialogStyle);
        AppendU32(out, 0);
    }
    AppendU16(out, std::uint16_t(kItems.size()));
    for (std::int16_t v : {0, 0, 280, 202}) AppendU16(out, std::uint16_t(v));
    AppendU16(out, 0);  // no menu
    AppendU16(out, 0);  // the dialog class
    AppendText(out, u"Title");
    if (dialogStyle & style::kDsSetFont) {
        AppendU16(out, 10);
        if (extended) {
            AppendU16(out, 400);
            out.push_back(0);
            out.push_back(1);
        }
        AppendText(out, face);
    }
    for (std::size_t i = 0; i < kItems.size(); ++i) AppendItem(out, kItems[i], extended, std::int16_t(i));
    return out;
}

void ExpectItems(const DialogTemplate& dialog, bool extended) {
    ASSERT_EQ(dialog.items.size(), kItems.size());
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(item.id, kItems[i].id);
        EXPECT_EQ(item.style, style::kChild | style::kVisible);
        EXPECT_EQ(item.exStyle, 0x200u);
        EXPECT_EQ(item.helpId, extended ? 0x77u : 0u);
        EXPECT_EQ(item.x, i * 10);
        EXPECT_EQ(item.y, i * 10 + 1);
        EXPECT_EQ(item.width, 78);
        EXPECT_EQ(item.height, -13);
        if (kItems[i].classOrdinal) {
            EXPECT_EQ(item.className.kind, TemplateName::Kind::Ordinal);
            EXPECT_EQ(item.className.ordinal, kItems[i].classOrdinal);
        } else {
            EXPECT_EQ(item.className.kind, TemplateName::Kind::Text);
            EXPECT_EQ(item.className.text, kItems[i].classText);
        }
        EXPECT_EQ(item.title.text, kItems[i].title);
        EXPECT_EQ(item.extraSize, kItems[i].extra.size());
    }
}

TEST(DialogTemplate, ReadsBothForms) {
    for (bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "extended" : "classic");
        DialogTemplateRead read = ReadDialogTemplate(Template(extended, u"Arial"));
        ASSERT_TRUE(read.dialog);
        const DialogTemplate& dialog = *read.dialog;
        EXPECT_EQ(dialog.extended, extended);
        EXPECT_EQ(dialog.helpId, extended ? 5u : 0u);
        EXPECT_EQ(dialog.width, 280);
        EXPECT_EQ(dialog.height, 202);
        EXPECT_EQ(dialog.title, u"Title");
        EXPECT_TRUE(dialog.hasFont);
        EXPECT_EQ(dialog.points, 10);
        EXPECT_EQ(dialog.weight, extended ? 400 : 0);
        EXPECT_EQ(dialog.charset, extended ? 1 : 0);
        EXPECT_EQ(dialog.face, u"Arial");
        EXPECT_EQ(dialog.firstItemOffset % 4, 0u);
        ExpectItems(dialog, extended);
    }
}

TEST(DialogTemplate, WithoutTheSetFontStyleThereIsNoFont) {
    DialogTemplateRead read = ReadDialogTemplate(Template(true, u"", style::kPopup));
    ASSERT_TRUE(read.dialog);
    EXPECT_FALSE(read.dialog->hasFont);
    EXPECT_TRUE(read.dialog->face.empty());
    ExpectItems(*read.dialog, true);
}

TEST(DialogTemplate, EveryTruncationFailsWhereTheBytesEnd) {
    for (bool extended : {true, false}) {
        Bytes whole = Template(extended, u"MS Shell Dlg 2");
        for (std::size_t length = 0; length < whole.size(); ++length) {
            DialogTemplateRead read = ReadDialogTemplate(ByteView(whole.data(), length));
            EXPECT_FALSE(read.dialog) << (extended ? "extended " : "classic ") << length;
            EXPECT_LE(read.errorOffset, length);
        }
    }
}

TEST(DialogTemplate, AnItemCountBeyondTheBytesFails) {
    Bytes bytes = Template(true, u"Arial");
    StoreU16(&bytes[16], 4);
    EXPECT_FALSE(ReadDialogTemplate(bytes).dialog);
}

TEST(DialogFontOverride, ReplacesFaceAndSizeAndKeepsTheItemsAligned) {
    // Faces of every length modulo 4, from a template face of each parity,
    // so that padding is both added and removed.
    for (std::u16string original : {u"MS Shell Dlg 2", u"Arial", u"Tahom"}) {
        for (std::u16string face : {u"A", u"Ab", u"Abc", u"Abcd", u"Segoe UI", u""}) {
            for (std::uint16_t points : {0, 9}) {
                if (face.empty() && points == 0) continue;
                SCOPED_TRACE(std::string(face.begin(), face.end()) + " over " +
                             std::string(original.begin(), original.end()) + ", " + std::to_string(points));
                std::optional<Bytes> copy = WithDialogFont(Template(true, original), face, points);
                ASSERT_TRUE(copy);
                DialogTemplateRead read = ReadDialogTemplate(*copy);
                ASSERT_TRUE(read.dialog);
                EXPECT_EQ(read.dialog->face, face.empty() ? original : face);
                EXPECT_EQ(read.dialog->points, points ? points : 10);
                EXPECT_EQ(read.dialog->weight, 400);
                EXPECT_EQ(read.dialog->charset, 1);
                EXPECT_EQ(read.dialog->title, u"Title");
                EXPECT_EQ(read.dialog->firstItemOffset % 4, 0u);
                ExpectItems(*read.dialog, true);
                // The items' bytes follow unchanged.
                Bytes source = Template(true, original);
                std::size_t sourceItems = ReadDialogTemplate(source).dialog->firstItemOffset;
                EXPECT_TRUE(std::equal(source.begin() + long(sourceItems), source.end(),
                                       copy->begin() + long(read.dialog->firstItemOffset), copy->end()));
            }
        }
    }
}

TEST(DialogFontOverride, LeavesTemplatesItCannotChange) {
    EXPECT_FALSE(WithDialogFont(Template(false, u"Arial"), u"Tahoma", 9)) << "classic form";
    EXPECT_FALSE(WithDialogFont(Template(true, u"", style::kPopup), u"Tahoma", 9)) << "no font of its own";
    EXPECT_FALSE(WithDialogFont(Template(true, u"Arial"), u"", 0)) << "nothing to change";
    Bytes cut = Template(true, u"Arial");
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(WithDialogFont(cut, u"Tahoma", 9)) << "truncated";
}

TEST(DialogFontOverride, CutsFacesTheSystemCannotHold) {
    std::u16string nul = u"Tahoma";
    nul += u'\0';
    nul += u"Arial";
    std::optional<Bytes> copy = WithDialogFont(Template(true, u"Arial"), nul, 0);
    ASSERT_TRUE(copy);
    DialogTemplateRead read = ReadDialogTemplate(*copy);
    ASSERT_TRUE(read.dialog);
    EXPECT_EQ(read.dialog->face, u"Tahoma");
    ExpectItems(*read.dialog, true);

    copy = WithDialogFont(Template(true, u"Arial"), std::u16string(40, u'x'), 0);
    ASSERT_TRUE(copy);
    read = ReadDialogTemplate(*copy);
    ASSERT_TRUE(read.dialog);
    EXPECT_EQ(read.dialog->face, std::u16string(kMaxFaceLength, u'x'));
    ExpectItems(*read.dialog, true);
}

}  // namespace
}  // namespace palisade
