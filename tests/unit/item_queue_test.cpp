// Taking item records from the queue of decoded chunks.
#include "payload/item_queue.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Record(const Bytes& body) {
    Bytes out = {std::uint8_t(body.size()), std::uint8_t(body.size() >> 8), std::uint8_t(body.size() >> 16),
                 std::uint8_t(body.size() >> 24)};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(ItemByteQueue, TakesRecordsInOrderFromOneChunk) {
    ItemByteQueue queue;
    queue.Append(Join({Record({1, 2, 3}), Record({4}), Record({5, 6})}));
    EXPECT_EQ(queue.BufferedBytes(), 18u);
    Bytes record;
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{1, 2, 3}));
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{4}));
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{5, 6}));
    EXPECT_EQ(queue.BufferedBytes(), 0u);
    EXPECT_FALSE(queue.TakeRecord(record));
}

TEST(ItemByteQueue, RecordRunsAcrossChunks) {
    Bytes body(10);
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = std::uint8_t(i + 1);
    Bytes stored = Join({Record(body), Record({0xEE})});
    ItemByteQueue queue;
    queue.Append(Bytes(stored.begin(), stored.begin() + 6));  // length and 2 body bytes
    Bytes record = {0x99};
    EXPECT_FALSE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{0x99}));  // untouched when nothing is taken
    queue.Append(Bytes(stored.begin() + 6, stored.begin() + 9));
    EXPECT_FALSE(queue.TakeRecord(record));
    EXPECT_EQ(queue.BufferedBytes(), 9u);  // nothing consumed
    queue.Append(Bytes(stored.begin() + 9, stored.end()));
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, body);
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{0xEE}));
    EXPECT_EQ(queue.BufferedBytes(), 0u);
}

TEST(ItemByteQueue, LengthFieldSplitAcrossChunksIsNeverTaken) {
    // The length must lie whole in the front chunk; later chunks do not help.
    Bytes stored = Record({7, 7, 7});
    ItemByteQueue queue;
    queue.Append(Bytes(stored.begin(), stored.begin() + 2));
    queue.Append(Bytes(stored.begin() + 2, stored.end()));
    queue.Append(Record({8}));
    Bytes record;
    EXPECT_FALSE(queue.TakeRecord(record));
    EXPECT_EQ(queue.BufferedBytes(), stored.size() + 5);
}

TEST(ItemByteQueue, EmptyChunkAddsNothing) {
    ItemByteQueue queue;
    queue.Append({});
    EXPECT_EQ(queue.BufferedBytes(), 0u);
    Bytes record;
    EXPECT_FALSE(queue.TakeRecord(record));
    queue.Append(Record({1}));
    queue.Append({});
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{1}));
}

TEST(ItemByteQueue, ZeroLengthRecord) {
    ItemByteQueue queue;
    queue.Append(Join({Record({}), Record({})}));
    Bytes record = {1, 2};
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_TRUE(record.empty());
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_TRUE(record.empty());
    EXPECT_EQ(queue.BufferedBytes(), 0u);
    EXPECT_FALSE(queue.TakeRecord(record));
}

TEST(ItemByteQueue, HugeLengthWaitsWithoutConsuming) {
    ItemByteQueue queue;
    queue.Append({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
    Bytes record;
    EXPECT_FALSE(queue.TakeRecord(record));
    EXPECT_EQ(queue.BufferedBytes(), 7u);
}

TEST(ItemByteQueue, RecordEndingFrontChunkAfterEarlierRecords) {
    // The storage-reusing path: the record is the whole rest of the front chunk.
    Bytes big(100, 0x42);
    ItemByteQueue queue;
    queue.Append(Join({Record({1, 2}), Record(big)}));
    queue.Append(Record({3}));
    Bytes record;
    ASSERT_TRUE(queue.TakeRecord(record));
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, big);
    EXPECT_EQ(queue.BufferedBytes(), 5u);
    ASSERT_TRUE(queue.TakeRecord(record));
    EXPECT_EQ(record, (Bytes{3}));
}

TEST(ItemByteQueue, AnySplitKeepingLengthFieldsWholeYieldsAllRecords) {
    std::mt19937 generator(12345);
    for (int round = 0; round < 200; ++round) {
        std::vector<Bytes> bodies;
        Bytes stored;
        std::vector<bool> insideLength;
        int count = 1 + int(generator() % 8);
        for (int r = 0; r < count; ++r) {
            Bytes body(generator() % 40);
            for (auto& b : body) b = std::uint8_t(generator());
            bodies.push_back(body);
            Bytes rec = Record(body);
            for (std::size_t i = 0; i < rec.size(); ++i) insideLength.push_back(i >= 1 && i <= 3);
            stored.insert(stored.end(), rec.begin(), rec.end());
        }
        ItemByteQueue queue;
        std::vector<Bytes> taken;
        std::size_t start = 0;
        for (std::size_t at = 1; at <= stored.size(); ++at) {
            bool cut = at == stored.size() || (!insideLength[at] && generator() % 3 == 0);
            if (!cut) continue;
            queue.Append(Bytes(stored.begin() + std::ptrdiff_t(start), stored.begin() + std::ptrdiff_t(at)));
            start = at;
            Bytes record;
            while (queue.TakeRecord(record)) taken.push_back(record);
        }
        EXPECT_EQ(taken, bodies) << "round " << round;
        EXPECT_EQ(queue.BufferedBytes(), 0u) << "round " << round;
    }
}

}  // namespace
}  // namespace palisade
