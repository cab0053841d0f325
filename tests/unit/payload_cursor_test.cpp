// The payload cursor's readers: little-endian values, texts in place, and bounds.
#include "payload/payload_cursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace palisade {
namespace {

TEST(PayloadCursor, ReadsLittleEndianValuesAndTextsInOrder) {
    // u32, i32 -1, "ab\0", one odd byte so the wide text is unaligned, u"\u00e9x\0", 3 bytes.
    std::vector<std::uint8_t> bytes = {0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 0,
                                       0x99, 0xE9, 0x00, 'x', 0, 0, 0, 7, 8, 9};
    PayloadCursor cursor(bytes);
    EXPECT_EQ(cursor.ReadU32(), 0x12345678u);
    EXPECT_EQ(cursor.ReadI32(), -1);
    EXPECT_EQ(cursor.ReadNarrowString(), std::string_view("ab"));
    ASSERT_TRUE(cursor.Skip(1));
    EXPECT_EQ(cursor.ReadWideString(), std::u16string(u"\u00e9x"));
    auto rest = cursor.ReadBytes(3);
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->data, bytes.data() + 18) << "bytes are returned in place";
    EXPECT_TRUE(cursor.AtEnd());
}

TEST(PayloadCursor, EmptyTextsAreReadAsEmpty) {
    std::vector<std::uint8_t> bytes = {0, 0, 0};
    PayloadCursor cursor(bytes);
    EXPECT_EQ(cursor.ReadNarrowString(), std::string_view());
    EXPECT_EQ(cursor.ReadWideString(), std::u16string());
    EXPECT_TRUE(cursor.AtEnd());
}

TEST(PayloadCursor, AReadThatWouldLeaveTheDataFailsWithoutMoving) {
    std::vector<std::uint8_t> bytes = {'a', 'b', 'c'};
    PayloadCursor cursor(bytes);
    EXPECT_FALSE(cursor.ReadU32());
    EXPECT_FALSE(cursor.ReadI32());
    EXPECT_FALSE(cursor.ReadNarrowString()) << "no NUL before the end";
    EXPECT_FALSE(cursor.ReadWideString());
    EXPECT_FALSE(cursor.ReadBytes(4));
    EXPECT_FALSE(cursor.Skip(4));
    EXPECT_EQ(cursor.Offset(), 0u);
    EXPECT_TRUE(cursor.Skip(3));
    EXPECT_FALSE(cursor.Skip(1));
    EXPECT_TRUE(cursor.ReadBytes(0)) << "nothing can always be read";
}

TEST(PayloadCursor, WideTextNeedsAWholeNulUnit) {
    // 'a' then a lone zero byte: the terminator would need one more byte.
    std::vector<std::uint8_t> bytes = {'a', 0, 0};
    PayloadCursor cursor(bytes);
    EXPECT_FALSE(cursor.ReadWideString());
    EXPECT_EQ(cursor.Offset(), 0u);
}

TEST(PayloadCursor, AnEmptyViewReadsNothing) {
    PayloadCursor cursor{ByteView()};
    EXPECT_FALSE(cursor.ReadNarrowString());
    EXPECT_FALSE(cursor.ReadWideString());
    EXPECT_FALSE(cursor.ReadU32());
    EXPECT_TRUE(cursor.AtEnd());
}

}  // namespace
}  // namespace palisade
