// The message box's in-memory template, written and read back: the dialog's
// style and font, the controls in order with their ids and styles, and
// rectangles converted to dialog units without cutting anything.
#include <gtest/gtest.h>

#include "ui/dialog_template.h"
#include "ui/message_box_template.h"
#include "ui/window_styles.h"
#include "ui_test_support.h"

namespace palisade {
namespace {

using namespace style;

// The box of a request laid out with fixed measures: every text 100 x 20.
DialogTemplate BoxTemplate(MessageBoxRequest request, Size baseUnits = {8, 16}) {
    static std::vector<MessageBoxButton> buttons;
    static MessageBoxLayout layout;
    buttons = ButtonsFor(request);
    MessageBoxMetrics metrics{12, 1280, {32, 32}, {13, 13}};
    MessageBoxMeasures measures{[](std::u16string_view, int) { return Size{100, 20}; },
                                [](std::u16string_view) { return 30; }};
    layout = LayoutMessageBox(request, buttons, metrics, measures);
    static MessageBoxRequest kept;
    kept = request;
    return MessageBoxDialog({&kept, &buttons, &layout, u"Segoe UI", 9, baseUnits});
}

DialogTemplate ReadBack(const DialogTemplate& dialog) {
    std::vector<std::uint8_t> bytes = WriteDialogTemplate(dialog);
    DialogTemplateRead read = ReadDialogTemplate(ByteView(bytes));
    EXPECT_TRUE(read.dialog.has_value()) << "stopped at " << read.errorOffset;
    return read.dialog.value_or(DialogTemplate{});
}

TEST(MessageBoxTemplate, HoldsIconTextFooterAndButtonsInOrder) {
    MessageBoxRequest request;
    request.text = u"Replace the file?";
    request.caption = u"Copying";
    request.flags = 3 | kBoxIconQuestion | 0x100 | kBoxYesToAll;  // Yes, Yes to all, No, Cancel; the second is the default
    request.footerText = u"Do this for every file";
    const DialogTemplate dialog = ReadBack(BoxTemplate(request));
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.style, kPopup | kVisible | kCaption | kSysMenu | kDsModalFrame | kDsCenter | kDsSetFont);
    EXPECT_EQ(dialog.title, u"Copying");
    EXPECT_EQ(dialog.face, u"Segoe UI");
    EXPECT_EQ(dialog.points, 9);

    struct Expected {
        std::uint32_t id;
        std::uint16_t classOrdinal;
        std::uint32_t style;
        std::u16string title;
    } expected[] = {
        {kBoxIconId, 0x82, kSsIcon, u""},
        {kBoxTextId, 0x82, kSsLeft | kSsNoPrefix, u"Replace the file?"},
        {kBoxFooterId, 0x80, kBsAutoCheckBox | kTabStop, u"Do this for every file"},
        {6, 0x80, kBsPushButton | kTabStop | kGroup, u"&Yes"},
        {19, 0x80, kBsDefPushButton | kTabStop, u"Yes to all"},
        {7, 0x80, kBsPushButton | kTabStop, u"&No"},
        {2, 0x80, kBsPushButton | kTabStop, u"&Cancel"},
    };
    ASSERT_EQ(dialog.items.size(), std::size(expected));
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        EXPECT_EQ(item.id, expected[i].id) << i;
        EXPECT_EQ(item.className.ordinal, expected[i].classOrdinal) << i;
        EXPECT_EQ(item.style, kChild | kVisible | expected[i].style) << i;
        EXPECT_EQ(item.title.text, expected[i].title) << i;
    }
}

TEST(MessageBoxTemplate, SystemModalAndPictureCaptionsAndNoIcon) {
    MessageBoxRequest request;
    request.text = u"Done.";
    request.flags = kBoxSystemModal;
    request.buttons = {{1, u"OK", 4}};
    const DialogTemplate dialog = ReadBack(BoxTemplate(request));
    EXPECT_TRUE(dialog.style & kDsSystemModal);
    ASSERT_EQ(dialog.items.size(), 2u) << "no icon, no footer";
    EXPECT_EQ(dialog.items[0].id, kBoxTextId);
    EXPECT_EQ(dialog.items[1].title.text, u" OK") << "a space between picture and caption";
    EXPECT_EQ(dialog.items[1].style & 0xF, kBsDefPushButton);
}

TEST(MessageBoxTemplate, DialogUnitsAreRoundedUpSoThatNothingIsCut) {
    // Base units 7 x 13: 10 pixels are 40/7 = 5.7 units across and 80/13 = 6.2 down.
    EXPECT_EQ(RectInDialogUnits({10, 10, 20, 20}, {7, 13}), (Rect{6, 7, 12, 13}));
    EXPECT_EQ(RectInDialogUnits({0, 0, 14, 26}, {7, 13}), (Rect{0, 0, 8, 16})) << "exact multiples stay";
    MessageBoxRequest request;
    request.text = u"Hello";
    const DialogTemplate dialog = ReadBack(BoxTemplate(request, {7, 13}));
    for (const DialogItemTemplate& item : dialog.items) {
        EXPECT_LE(item.x + item.width, dialog.width) << "control " << item.id << " inside the box";
        EXPECT_LE(item.y + item.height, dialog.height) << "control " << item.id << " inside the box";
    }
}

TEST(DialogTemplateWriter, WritesWhatTheReaderReads) {
    DialogTemplate dialog;
    dialog.extended = true;
    dialog.helpId = 5;
    dialog.exStyle = 0x100;
    dialog.style = kPopup | kCaption | kDsSetFont;
    dialog.x = -3, dialog.y = 4, dialog.width = 280, dialog.height = 202;
    dialog.menu = {TemplateName::Kind::Ordinal, 7, u""};
    dialog.className = {TemplateName::Kind::Text, 0, u"MyClass"};
    dialog.title = u"Title";
    dialog.hasFont = true;
    dialog.points = 10, dialog.weight = 700, dialog.italic = 1, dialog.charset = 1;
    dialog.face = u"MS Shell Dlg 2";
    DialogItemTemplate item;
    item.id = 70000;
    item.style = kChild;
    item.x = 1, item.y = 2, item.width = 3, item.height = 4;
    item.className = {TemplateName::Kind::Text, 0, u"SysLink"};
    item.title = {TemplateName::Kind::Ordinal, 9, u""};
    dialog.items = {item, item};
    dialog.items[1].title = {TemplateName::Kind::Text, 0, u"odd"};

    std::vector<std::uint8_t> bytes = WriteDialogTemplate(dialog);
    DialogTemplateRead read = ReadDialogTemplate(ByteView(bytes));
    ASSERT_TRUE(read.dialog);
    const DialogTemplate& back = *read.dialog;
    EXPECT_EQ(back.helpId, 5u);
    EXPECT_EQ(back.exStyle, 0x100u);
    EXPECT_EQ(back.style, dialog.style);
    EXPECT_EQ(back.x, -3);
    EXPECT_EQ(back.menu.ordinal, 7);
    EXPECT_EQ(back.className.text, u"MyClass");
    EXPECT_EQ(back.title, u"Title");
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.face, u"MS Shell Dlg 2");
    ASSERT_EQ(back.items.size(), 2u);
    EXPECT_EQ(back.items[0].id, 70000u);
    EXPECT_EQ(back.items[0].className.text, u"SysLink");
    EXPECT_EQ(back.items[0].title.ordinal, 9);
    EXPECT_EQ(back.items[1].title.text, u"odd");
    EXPECT_EQ(back.firstItemOffset % 4, 0u);

    // Without a font the style loses its set-font bit and no font is written.
    dialog.hasFont = false;
    DialogTemplateRead plain = ReadDialogTemplate(ByteView(WriteDialogTemplate(dialog)));
    ASSERT_TRUE(plain.dialog);
    EXPECT_FALSE(plain.dialog->hasFont);
    EXPECT_EQ(plain.dialog->items.size(), 2u);
}

}  // namespace
}  // namespace palisade
