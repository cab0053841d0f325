// The stub's dialog templates, written down column by column from the page
// layouts: each family is a list of rows (one control each) with its
// rectangle in the SidePicture, Plain, Banner and FullSidePicture templates.
#include "ui/template_table.h"

#include <array>
#include <optional>

#include "core/text.h"
#include "ui/geometry.h"
#include "ui/page_variant.h"
#include "ui/resources/resource_ids.h"
#include "ui/window_styles.h"

namespace palisade {
namespace {

using namespace style;

constexpr std::uint32_t kPageStyle = kDsSetFont | kDsFixedSys | kDsModalFrame | kPopup | kVisible | kCaption | kSysMenu;
constexpr std::uint32_t kButton = kBsPushButton | kTabStop;
constexpr std::uint32_t kDefaultButton = kBsDefPushButton | kTabStop;
constexpr std::uint32_t kListStyle = kLbsNotify | kLbsOwnerDrawFixed | kLbsHasStrings | kVScroll | kBorder | kTabStop;
constexpr std::uint32_t kDocumentStyle = kEsMultiLine | kEsReadOnly | kVScroll | kBorder | kTabStop;
constexpr std::uint32_t kFolderEditStyle = kEsAutoHScroll | kBorder | kTabStop;
constexpr std::uint32_t kCheckBox = kBsAutoCheckBox | kTabStop;

struct Du {
    int x, y, width, height;
};

// The columns of a family's layout, in the order SidePicture ("Name"),
// Plain ("Name2"), Banner ("Name3"), FullSidePicture ("Name4").
constexpr std::array<PageVariant, 4> kColumns = {PageVariant::SidePicture, PageVariant::Plain, PageVariant::Banner,
                                                 PageVariant::FullSidePicture};
using Columns = std::array<std::optional<Du>, 4>;
constexpr std::optional<Du> kAbsent = std::nullopt;

struct LayoutRow {
    std::uint32_t id;
    const char* className;
    std::uint32_t style;
    const char16_t* text;
    Columns rects;
};

// The same rectangle in every column.
Columns All(Du du) { return {du, du, du, du}; }

ControlSpec Control(std::uint32_t id, const char* className, std::uint32_t controlStyle, Du du,
                    std::u16string text = {}) {
    return {id, className, kChild | kVisible | controlStyle, du.x, du.y, du.width, du.height, std::move(text)};
}

// The background controls of a variant, which follow the content.
std::vector<ControlSpec> PictureControls(PageVariant variant) {
    switch (variant) {
        case PageVariant::SidePicture:
            return {Control(IDC_SIDE_PICTURE, "Static", kSsLeft, {4, 4, 86, 172})};
        case PageVariant::Banner:
            return {Control(IDC_BANNER_LINE1, "Static", kSsLeftNoWordWrap | kSsNoPrefix, {81, 4, 199, 8}),
                    Control(IDC_BANNER_LINE2, "Static", kSsLeftNoWordWrap | kSsNoPrefix, {85, 14, 195, 8}),
                    Control(IDC_BANNER_PICTURE, "Static", kSsLeft, {0, 0, 280, 26})};
        case PageVariant::FullSidePicture:
            return {Control(IDC_SIDE_PICTURE, "Static", kSsLeft, {0, 0, 90, 180}),
                    Control(IDC_WHITE_PANEL, "Static", kSsWhiteRect, {90, 0, 194, 180})};
        case PageVariant::Plain:
            break;
    }
    return {};
}

DialogSpec PageDialog(std::string name, Size size) {
    DialogSpec dialog;
    dialog.name = std::move(name);
    dialog.style = kPageStyle;
    dialog.width = size.width;
    dialog.height = size.height;
    dialog.face = u"MS Shell Dlg 2";
    dialog.points = 10;
    dialog.weight = 400;
    dialog.charset = 1;
    return dialog;
}

// The templates of one family; a column whose size is absent has no template.
void AddFamily(std::vector<DialogSpec>& out, PageFamily family, const std::array<std::optional<Size>, 4>& sizes,
               const std::vector<LayoutRow>& rows) {
    for (std::size_t column = 0; column < kColumns.size(); ++column) {
        if (!sizes[column]) continue;
        DialogSpec dialog = PageDialog(*PageTemplateName(family, kColumns[column]), *sizes[column]);
        for (const LayoutRow& row : rows) {
            if (!row.rects[column]) continue;
            dialog.controls.push_back(Control(row.id, row.className, row.style, *row.rects[column], row.text));
        }
        for (ControlSpec& picture : PictureControls(kColumns[column])) dialog.controls.push_back(std::move(picture));
        out.push_back(std::move(dialog));
    }
}

constexpr Size kPage{280, 202};
constexpr Du kNextAt{116, 185, 78, 13};
constexpr Du kCancelAt{198, 185, 78, 13};

void AddIntroPages(std::vector<DialogSpec>& out) {
    AddFamily(out, PageFamily::Greeting, {kPage, std::nullopt, Size{280, 176}, kPage},
              {
                  {IDC_GREETING_LINK, "SysLink", kTabStop, u"", {Du{98, 148, 174, 24}, kAbsent, Du{8, 130, 264, 16}, Du{98, 148, 174, 24}}},
                  {IDC_PAGE_TEXT, "Static", kSsCenter, u"", {Du{94, 32, 182, 144}, kAbsent, Du{4, 38, 272, 96}, Du{94, 32, 182, 144}}},
                  {IDC_NEXT, "Button", kDefaultButton, u"&Next", {kNextAt, kAbsent, Du{116, 159, 78, 13}, kNextAt}},
                  {IDC_CANCEL, "Button", kButton, u"Cancel", {kCancelAt, kAbsent, Du{198, 159, 78, 13}, kCancelAt}},
              });
    AddFamily(out, PageFamily::Language, {kPage, kPage, kPage, kPage},
              {
                  {IDC_PAGE_TEXT, "Static", kSsLeft, u"", {Du{94, 4, 182, 24}, Du{4, 4, 272, 24}, Du{4, 30, 272, 16}, Du{94, 4, 182, 24}}},
                  {IDC_LANGUAGE_LIST, "ListBox", kListStyle, u"", {Du{106, 32, 158, 144}, Du{54, 32, 172, 140}, Du{54, 50, 172, 122}, Du{106, 32, 158, 144}}},
                  {IDC_NEXT, "Button", kDefaultButton, u"&Next", All(kNextAt)},
                  {IDC_CANCEL, "Button", kButton, u"Cancel", All(kCancelAt)},
              });
    const Columns pageText = {Du{98, 8, 174, 24}, Du{8, 8, 264, 16}, Du{8, 34, 264, 16}, Du{98, 8, 174, 24}};
    const Columns document = {Du{94, 40, 182, 136}, Du{4, 32, 272, 148}, Du{4, 58, 272, 122}, Du{94, 40, 182, 136}};
    // On the licence pages Next is not the default button: Enter must not accept.
    AddFamily(out, PageFamily::Licence, {kPage, kPage, kPage, kPage},
              {
                  {IDC_PAGE_TEXT, "Static", kSsLeft, u"", pageText},
                  {IDC_DOCUMENT, "Edit", kDocumentStyle, u"", document},
                  {IDC_NEXT, "Button", kButton, u"&Accept", All(kNextAt)},
                  {IDC_CANCEL, "Button", kButton, u"&Decline", All(kCancelAt)},
              });
    AddFamily(out, PageFamily::Readme, {kPage, kPage, kPage, kPage},
              {
                  {IDC_PAGE_TEXT, "Static", kSsLeft, u"", pageText},
                  {IDC_DOCUMENT, "Edit", kDocumentStyle, u"", document},
                  {IDC_NEXT, "Button", kDefaultButton, u"&Next", All(kNextAt)},
                  {IDC_CANCEL, "Button", kButton, u"Cancel", All(kCancelAt)},
              });
}

// The folder and start-menu pages; the start-menu page has no space labels.
std::vector<LayoutRow> FolderRows(bool withSpace) {
    std::vector<LayoutRow> rows = {
        // The page text is left-aligned beside a picture and centred without one.
        {IDC_PAGE_TEXT, "Static", kSsLeft, u"", {Du{98, 20, 174, 24}, kAbsent, kAbsent, Du{98, 20, 174, 24}}},
        {IDC_PAGE_TEXT, "Static", kSsCenter, u"", {kAbsent, Du{4, 20, 272, 24}, Du{4, 46, 272, 24}, kAbsent}},
        {IDC_FOLDER_EDIT, "Edit", kFolderEditStyle, u"", {Du{98, 56, 174, 12}, Du{8, 48, 264, 12}, Du{12, 74, 260, 12}, Du{98, 56, 174, 12}}},
        {IDC_BROWSE, "Button", kButton, u"&Browse...", {Du{194, 72, 78, 13}, Du{194, 64, 78, 13}, Du{194, 90, 78, 13}, Du{194, 72, 78, 13}}},
    };
    if (withSpace) {
        rows.push_back({IDC_SPACE_REQUIRED, "Static", kSsCenter, u"", {Du{94, 106, 182, 8}, Du{8, 98, 264, 8}, Du{12, 124, 260, 8}, Du{94, 106, 182, 8}}});
        rows.push_back({IDC_SPACE_AVAILABLE, "Static", kSsCenter, u"", {Du{94, 118, 182, 8}, Du{8, 110, 264, 8}, Du{12, 136, 260, 8}, Du{94, 118, 182, 8}}});
    }
    rows.push_back({IDC_NEXT, "Button", kDefaultButton, u"&Next", All(kNextAt)});
    rows.push_back({IDC_CANCEL, "Button", kButton, u"Cancel", All(kCancelAt)});
    return rows;
}

void AddDestinationPages(std::vector<DialogSpec>& out) {
    AddFamily(out, PageFamily::Folder, {kPage, kPage, kPage, kPage}, FolderRows(true));
    AddFamily(out, PageFamily::StartMenu, {kPage, kPage, kPage, kPage}, FolderRows(false));
    AddFamily(out, PageFamily::Summary, {kPage, Size{280, 154}, kPage, kPage},
              {
                  {IDC_PAGE_TEXT, "Static", kSsCenter, u"", {Du{94, 12, 182, 32}, Du{4, 12, 272, 32}, Du{4, 38, 272, 32}, Du{94, 12, 182, 32}}},
                  // Zero-sized: the page places the boxes it shows, in this order.
                  {IDC_RUN_PROGRAM, "Button", kCheckBox, u"", All({0, 0, 0, 0})},
                  {IDC_OPEN_DOCUMENT, "Button", kCheckBox, u"", All({0, 0, 0, 0})},
                  {IDC_OPEN_DOCUMENT2, "Button", kCheckBox, u"", All({0, 0, 0, 0})},
                  {IDC_VIEW_LOG, "Button", kCheckBox, u"", All({0, 0, 0, 0})},
                  {IDC_NEXT, "Button", kDefaultButton, u"&OK", {Du{198, 185, 78, 13}, Du{198, 137, 78, 13}, Du{198, 185, 78, 13}, Du{198, 185, 78, 13}}},
              });
}

void AddProgressPages(std::vector<DialogSpec>& out) {
    constexpr std::uint32_t kStatus = kSsLeft | kSsNoPrefix;
    AddFamily(out, PageFamily::Progress, {kPage, Size{235, 111}, Size{255, 137}, kPage},
              {
                  {IDC_PAGE_TEXT, "Static", kSsCenter, u"", {Du{94, 20, 182, 16}, Du{15, 12, 205, 22}, Du{15, 38, 225, 22}, Du{94, 20, 182, 16}}},
                  // The bar is smooth in the Plain and Banner templates.
                  {IDC_PROGRESS_BAR, "msctls_progress32", 0, u"", {Du{102, 48, 166, 9}, kAbsent, kAbsent, Du{102, 48, 166, 9}}},
                  {IDC_PROGRESS_BAR, "msctls_progress32", kPbsSmooth, u"", {kAbsent, Du{25, 32, 185, 9}, Du{25, 58, 205, 9}, kAbsent}},
                  {IDC_STATUS_LINE, "Static", kStatus, u"", {Du{98, 77, 174, 40}, Du{15, 53, 205, 24}, Du{15, 79, 225, 24}, Du{98, 77, 174, 40}}},
                  {IDC_CANCEL, "Button", kButton, u"Cancel", {kCancelAt, Du{80, 93, 75, 13}, Du{90, 119, 75, 13}, kCancelAt}},
              });
}

void AddSinglePages(std::vector<DialogSpec>& out) {
    DialogSpec password = PageDialog(kPasswordTemplate, {269, 78});
    password.controls = {
        Control(IDC_PAGE_TEXT, "Static", kSsCenter | kSsNoPrefix | kSsCenterImage, {3, 4, 263, 20}),
        Control(IDC_PASSWORD_LABEL, "Static", kSsRight, {0, 32, 85, 10}),
        Control(IDC_PASSWORD_EDIT, "Edit", kEsPassword | kEsAutoHScroll | kBorder | kTabStop, {88, 31, 140, 12}),
        Control(IDC_NEXT, "Button", kDefaultButton, {106, 62, 78, 13}, u"&OK"),
        Control(IDC_CANCEL, "Button", kButton, {188, 62, 78, 13}, u"Cancel"),
    };
    out.push_back(std::move(password));

    DialogSpec mustUninstall = PageDialog(kMustUninstallTemplate, {269, 61});
    mustUninstall.controls = {
        Control(IDC_PAGE_TEXT, "Static", kSsCenter, {3, 10, 263, 20}),
        Control(IDC_NEXT, "Button", kDefaultButton, {106, 45, 78, 13}, u"Uninstall"),
        Control(IDC_CANCEL, "Button", kButton, {188, 45, 78, 13}, u"Cancel"),
    };
    out.push_back(std::move(mustUninstall));

    DialogSpec supportOffer = PageDialog(kSupportOfferTemplate, {269, 73});
    supportOffer.controls = {
        Control(IDC_PAGE_TEXT, "Static", kSsCenter, {20, 4, 229, 44}),
        Control(IDC_NEXT, "Button", kDefaultButton, {106, 57, 78, 13}, u"Get Support"),
        Control(IDC_CANCEL, "Button", kButton, {188, 57, 78, 13}, u"Uninstall"),
    };
    out.push_back(std::move(supportOffer));
}

void AddCrashDialog(std::vector<DialogSpec>& out) {
    DialogSpec crash;
    crash.name = kCrashTemplate;
    crash.extended = false;
    crash.style = kDsSetFont | kDsModalFrame | kDsCenter | kDsSetForeground | kPopup | kCaption | kSysMenu;
    crash.width = 279;
    crash.height = 242;
    crash.face = u"Arial";
    crash.points = 10;
    crash.controls = {
        Control(IDC_CRASH_APOLOGY, "Static", kSsLeft, {3, 2, 273, 24}),
        Control(IDC_CRASH_REPORT, "Edit",
                kEsMultiLine | kEsReadOnly | kEsAutoVScroll | kEsAutoHScroll | kVScroll | kHScroll | kBorder | kTabStop,
                {3, 28, 273, 100}),
        Control(IDC_CRASH_EMAIL_LABEL, "Static", kSsLeft, {3, 133, 273, 16},
                u"Please enter your email address.  This is optional but recommended because reproducing the crash "
                u"may require a few questions."),
        Control(IDC_CRASH_EMAIL, "Edit", kEsAutoHScroll | kBorder | kTabStop, {3, 150, 273, 12}),
        Control(IDC_CRASH_COMMENTS_LABEL, "Static", kSsLeft, {3, 164, 273, 8}, u"Comments / steps to reproduce:"),
        Control(IDC_CRASH_COMMENTS, "Edit",
                kEsMultiLine | kEsAutoVScroll | kEsWantReturn | kVScroll | kBorder | kTabStop,
                {3, 173, 273, 44}),
        Control(IDC_CRASH_SEPARATOR, "Static", kSsSunken, {3, 222, 273, 2}),
        Control(IDC_CRASH_INFORM, "Button", kBsDefPushButton | kTabStop, {3, 227, 89, 12}, u"Inform Us"),
        Control(IDC_CRASH_COPY, "Button", kBsPushButton | kTabStop, {95, 227, 89, 12}, u"Copy Report"),
        Control(IDC_CRASH_EXIT, "Button", kBsPushButton | kTabStop, {188, 227, 89, 12}, u"Exit"),
    };
    out.push_back(std::move(crash));
}

std::vector<DialogSpec> BuildSpecs() {
    std::vector<DialogSpec> specs;
    AddIntroPages(specs);
    AddDestinationPages(specs);
    AddProgressPages(specs);
    AddSinglePages(specs);
    AddCrashDialog(specs);
    return specs;
}

}  // namespace

const std::vector<DialogSpec>& StubDialogSpecs() {
    static const std::vector<DialogSpec> specs = BuildSpecs();
    return specs;
}

const DialogSpec* FindDialogSpec(std::string_view name) {
    for (const DialogSpec& layout : StubDialogSpecs()) {
        if (EqualsIgnoreCase(Widen(layout.name), Widen(name))) return &layout;
    }
    return nullptr;
}

}  // namespace palisade
