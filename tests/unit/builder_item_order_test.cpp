// The builder's item order: files of one type side by side, only where the order is free.
#include "builder/item_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"

namespace palisade::tools {
namespace {

PayloadItem File(const std::string& name, const std::string& destination = "", EntryKind kind = EntryKind::File,
                 std::uint32_t flags = 0) {
    PayloadItem item;
    item.name = name;
    item.kind = kind;
    item.flags = flags;
    item.destinationOverride = Utf8ToUtf16(destination);
    item.data = {std::uint8_t(name.size())};
    return item;
}

std::vector<std::string> Names(const std::vector<PayloadItem>& items) {
    std::vector<std::string> names;
    for (const PayloadItem& item : items) names.push_back(item.name + (item.destinationOverride.empty() ? "" : "@" + Utf16ToUtf8(item.destinationOverride)));
    return names;
}

TEST(ItemOrder, FilesGoByExtensionThenNameIgnoringCase) {
    std::vector<PayloadItem> items = {File("readme.txt"), File("b.dll"), File("A.DLL"), File("setup.exe"),
                                      File("Makefile"), File("c.Dll"), File("notes.TXT")};
    OrderItemsForCompression(items);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"Makefile", "A.DLL", "b.dll", "c.Dll", "setup.exe",
                                                      "notes.TXT", "readme.txt"}));
}

TEST(ItemOrder, TheDestinationsNameCountsAndOneDestinationKeepsItsOrder) {
    // Renamed by the override; two files that end up as bin\x.dll keep their order, so the second still wins.
    std::vector<PayloadItem> items = {File("z.dat", "bin\\x.dll"), File("a.exe"), File("y.dat", "bin\\x.dll"),
                                      File("m.txt", "docs\\")};
    OrderItemsForCompression(items);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"z.dat@bin\\x.dll", "y.dat@bin\\x.dll", "a.exe", "m.txt@docs\\"}));
}

TEST(ItemOrder, OtherItemsKeepTheirPlacesAndNothingCrossesThem) {
    std::vector<PayloadItem> items = {
        File("b.txt"), File("a.txt"),
        File("pkg.msi", "", EntryKind::MsiPackage),  // runs when written: what comes before stays before
        File("d.txt"), File("c.dll"),
        File("app.exe", "", EntryKind::File, 0x01),  // a shortcut
        File("f.txt"), File("e.txt"),
        File("s.dll", "", EntryKind::SharedFile)};
    OrderItemsForCompression(items);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"a.txt", "b.txt", "pkg.msi", "c.dll", "d.txt", "app.exe",
                                                      "e.txt", "f.txt", "s.dll"}));
}

}  // namespace
}  // namespace palisade::tools
