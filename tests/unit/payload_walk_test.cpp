// The item walk: chunks of every size and encoding back into entries, and every
// failure of chunks and item records with its code.
#include "payload/item_walker.h"

#include <gtest/gtest.h>

#include "payload/archive.h"
#include "payload/blowfish.h"
#include "payload/crc32.h"
#include "payload/payload_writer.h"
#include "payload/xz_codec.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::Put32;
using testing::RecordWithLength;
using testing::SampleItems;

const std::array<std::uint8_t, 8> kKey = {9, 8, 7, 6, 5, 4, 3, 2};

struct Walked {
    std::vector<std::vector<std::uint8_t>> data;
    std::vector<std::string> names;
    std::vector<int> progress;
    WalkStatus status = WalkStatus::Failed;
    int code = 0;
    std::vector<FileEntry> entries;
};

PayloadHeader WalkHeader(std::vector<std::int32_t> sizes, bool ciphered = false) {
    PayloadHeader header;
    header.payloadFlags = ciphered ? PayloadFlags::kCiphered : 0;
    if (ciphered) header.payloadKey = kKey;
    header.itemCount = std::int32_t(sizes.size());
    header.itemSizes = std::move(sizes);
    return header;
}

// A streamed item's data, read in pieces of changing sizes; false (with the
// walk's code) when reading it failed.
bool ReadStreamedData(ItemWalker& walker, std::vector<std::uint8_t>& data, int& code) {
    std::vector<std::uint8_t> piece(5000);
    for (std::size_t turn = 0;; ++turn) {
        std::size_t produced = 0;
        code = walker.ReadData(piece.data(), 1 + turn * 7919 % piece.size(), produced);
        if (code != 0) return false;
        if (produced == 0) return true;
        data.insert(data.end(), piece.begin(), piece.begin() + std::ptrdiff_t(produced));
    }
}

// Every item's data, the streamed ones read through the walker.
Walked Walk(const PayloadHeader& header, const std::vector<std::uint8_t>& archive, bool compressed,
            std::size_t streamFrom = kStreamedDataFrom) {
    PayloadCipher cipher(header);
    ItemWalker walker(header, archive, cipher, compressed);
    walker.StreamDataFrom(streamFrom);
    Walked walked;
    for (int guard = 0; guard < 100000; ++guard) {
        FileEntry entry;
        ItemStep step = walker.Next(entry);
        walked.status = step.status;
        walked.code = step.errorCode;
        if (step.status != WalkStatus::Item) break;
        std::vector<std::uint8_t> data = entry.data.Copy();
        if (entry.IsStreamed() && !ReadStreamedData(walker, data, walked.code)) {
            walked.status = WalkStatus::Failed;
            break;
        }
        walked.data.push_back(std::move(data));
        walked.names.push_back(entry.name);
        walked.progress.push_back(step.progressPercent);
        walked.entries.push_back(entry);
    }
    return walked;
}

std::vector<std::uint8_t> Archive(std::initializer_list<std::vector<std::uint8_t>> storedChunks) {
    std::vector<std::uint8_t> archive;
    for (const auto& chunk : storedChunks) AppendStoredChunk(archive, chunk);
    return archive;
}

std::vector<std::uint8_t> Join(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

PayloadItem Item(const std::string& name, std::vector<std::uint8_t> data) {
    PayloadItem item;
    item.name = name;
    item.data = std::move(data);
    return item;
}

TEST(ItemWalk, EveryEncodingAndChunkSizeGivesTheItemsBack) {
    const std::vector<PayloadItem> items = SampleItems();
    for (bool compressed : {false, true}) {
        for (bool ciphered : {false, true}) {
            for (std::size_t chunkSize : {1, 3, 4, 5, 7, 64, 1000, 1 << 20}) {
                PayloadOptions options;
                options.payloadFlags = ciphered ? PayloadFlags::kCiphered : 0;
                options.payloadKey = kKey;
                options.chunkSize = chunkSize;
                options.xzPreset = 0;
                options.threadCount = 4;
                ArchiveBuild build = EncodeArchive(items, compressed, options);
                ASSERT_TRUE(build.error.empty()) << build.error;
                std::string label = "compressed " + std::to_string(compressed) + " ciphered " +
                                    std::to_string(ciphered) + " chunk " + std::to_string(chunkSize);
                // Held whole, and (from 1 byte on) every item's data streamed.
                for (std::size_t streamFrom : {kStreamedDataFrom, std::size_t(1)}) {
                    Walked walked = Walk(WalkHeader(build.archive.itemSizes, ciphered), build.archive.bytes,
                                         compressed, streamFrom);
                    EXPECT_EQ(walked.status, WalkStatus::Finished) << label << " code " << walked.code;
                    ASSERT_EQ(walked.entries.size(), items.size()) << label;
                    for (std::size_t i = 0; i < items.size(); ++i) {
                        walked.entries[i].data = walked.data[i];
                        std::string difference;
                        EXPECT_TRUE(testing::SameItem(items[i], walked.entries[i], difference))
                            << label << " " << difference;
                    }
                    EXPECT_EQ(walked.progress, (std::vector<int>{28, 43, 59, 74})) << label;
                }
            }
        }
    }
}

TEST(ItemWalk, NoItemsAndNoArchiveFinishAtOnce) {
    Walked walked = Walk(WalkHeader({}), {}, true);
    EXPECT_EQ(walked.status, WalkStatus::Finished);
    EXPECT_TRUE(walked.entries.empty());
}

TEST(ItemWalk, ChunksThatYieldNothingAreSkipped) {
    PayloadItem item = Item("a.txt", {1, 2, 3});
    std::vector<std::uint8_t> record = RecordWithLength(item);
    // Compressed: an xz stream of nothing, then the record.
    std::vector<std::uint8_t> empty = *XzCompress(nullptr, 0);
    std::vector<std::uint8_t> packed = *XzCompress(record.data(), record.size());
    Walked walked = Walk(WalkHeader({3}), Archive({empty, packed, empty}), true);
    EXPECT_EQ(walked.status, WalkStatus::Failed) << "the trailing empty chunk is still archive bytes left";
    EXPECT_EQ(walked.code, 80);
    EXPECT_EQ(walked.names, std::vector<std::string>{"a.txt"});
    walked = Walk(WalkHeader({3}), Archive({empty, empty, packed}), true);
    EXPECT_EQ(walked.status, WalkStatus::Finished);
    // Ciphered: a framed block of length 0, then the record.
    Blowfish cipher;
    cipher.SetKey(kKey.data(), kKey.size());
    walked = Walk(WalkHeader({3}, true),
                  Archive({cipher.EncipherFramed(nullptr, 0), cipher.EncipherFramed(record.data(), record.size())}),
                  false);
    EXPECT_EQ(walked.status, WalkStatus::Finished) << walked.code;
    EXPECT_EQ(walked.data, (std::vector<std::vector<std::uint8_t>>{{1, 2, 3}}));
}

TEST(ItemWalk, ARecordRunsOnAcrossChunksButItsLengthFieldMustNot) {
    std::vector<std::uint8_t> record = RecordWithLength(Item("b.bin", {4, 5, 6, 7}));
    std::vector<std::uint8_t> head(record.begin(), record.begin() + 6), tail(record.begin() + 6, record.end());
    EXPECT_EQ(Walk(WalkHeader({4}), Archive({head, tail}), false).status, WalkStatus::Finished);
    std::vector<std::uint8_t> cutField(record.begin(), record.begin() + 2), rest(record.begin() + 2, record.end());
    Walked walked = Walk(WalkHeader({4}), Archive({cutField, rest}), false);
    EXPECT_EQ(walked.code, 61) << "a split length field is never recognised; the archive runs out";
}

struct WalkFailure {
    const char* what;
    std::vector<std::int32_t> sizes;
    std::vector<std::uint8_t> archive;
    bool compressed;
    int code;
};

std::vector<std::uint8_t> RawChunk(std::int32_t size, std::uint32_t checksum, std::vector<std::uint8_t> bytes) {
    std::vector<std::uint8_t> chunk(8);
    Put32(chunk, 0, std::uint32_t(size));
    Put32(chunk, 4, checksum);
    return Join(chunk, bytes);
}

// A record of `item` whose length field claims only `keep` bytes of it.
std::vector<std::uint8_t> CutRecord(const PayloadItem& item, std::size_t keep) {
    std::vector<std::uint8_t> record = RecordWithLength(item);
    record.resize(4 + keep);
    Put32(record, 0, std::uint32_t(keep));
    return record;
}

std::vector<WalkFailure> FailureCases() {
    PayloadItem good = Item("c.dat", {1, 2, 3, 4, 5});
    std::vector<std::uint8_t> record = RecordWithLength(good);
    std::size_t fields = EncodeItemFields(good).size();
    std::vector<std::uint8_t> badCrc = record;
    badCrc.back() ^= 1;
    return {
        {"chunk not xz", {5}, Archive({record}), true, 60},
        {"chunk size 0", {5}, RawChunk(0, 0, {}), false, 61},
        {"chunk size negative", {5}, RawChunk(-5, 0, {1, 2, 3}), false, 61},
        {"archive exhausted", {5}, {}, false, 61},
        {"archive holds 2 bytes", {5}, {1, 0}, false, 61},
        {"chunk checksum wrong", {5}, RawChunk(std::int32_t(record.size()), Crc32(record) ^ 1, record), false, 62},
        {"chunk larger than the archive left", {5}, RawChunk(1000, 0, record), false, 63},
        {"chunk checksum missing", {5}, {4, 0, 0, 0, 1, 2}, false, 63},
        {"empty name", {0}, Archive({RecordWithLength(Item("", {}))}), false, 70},
        {"name without NUL", {0}, Archive({CutRecord(good, 3)}), false, 70},
        {"size entry negative", {-1}, Archive({record}), false, 71},
        {"record ends before the data", {5}, Archive({CutRecord(good, fields - 2)}), false, 71},
        {"size entry above 0x40000000", {0x40000001}, Archive({record}), false, 72},
        {"data runs past the record", {10}, Archive({record}), false, 72},
        {"data checksum wrong", {5}, Archive({badCrc}), false, 100},
        {"data checksum missing", {5}, Archive({CutRecord(good, fields + 5)}), false, 100},
        {"archive bytes after the last item", {5}, Archive({record, {9}}), false, 80},
        {"decoded bytes after the last item", {5}, Archive({Join(record, {0, 0, 0})}), false, 80},
        {"archive bytes and no items", {}, Archive({{9}}), false, 80},
    };
}

TEST(ItemWalk, EachBrokenChunkOrRecordStopsWithItsCode) {
    // The same codes whether an item's data is held whole or streamed.
    for (std::size_t streamFrom : {kStreamedDataFrom, std::size_t(1)}) {
        for (const WalkFailure& c : FailureCases()) {
            Walked walked = Walk(WalkHeader(c.sizes), c.archive, c.compressed, streamFrom);
            EXPECT_EQ(walked.status, WalkStatus::Failed) << c.what << " streamed from " << streamFrom;
            EXPECT_EQ(walked.code, c.code) << c.what << " streamed from " << streamFrom;
        }
    }
}

// An archive of a few hundred kilobytes once unpacked to gigabytes: what a
// chunk may decode to, and how long a record may claim to be, are bounded by
// the items the header announces, so a forged archive fails small.
TEST(ItemWalk, ArchivesThatWouldUnpackBeyondTheirItemsFailBeforeTheMemoryGoes) {
    std::vector<std::uint8_t> zeros(8u << 20, 0);  // 8 MiB for an item of 5 bytes
    std::optional<std::vector<std::uint8_t>> bomb = XzCompress(zeros.data(), zeros.size(), 1);
    ASSERT_TRUE(bomb.has_value());
    ASSERT_LT(bomb->size(), 64u << 10);
    Walked walked = Walk(WalkHeader({5}), Archive({*bomb}), true);
    EXPECT_EQ(walked.status, WalkStatus::Failed);
    EXPECT_EQ(walked.code, 60);

    // A length field far beyond the item's data and fields: refused at once,
    // not after reading (and holding) every chunk that follows.
    std::vector<std::uint8_t> claim(8, 0);
    Put32(claim, 0, 0x7FFFFFF0);
    std::vector<std::uint8_t> archive = Archive({claim});
    for (int i = 0; i < 3; ++i) archive = Join(archive, Archive({std::vector<std::uint8_t>(1000, 7)}));
    walked = Walk(WalkHeader({5}), archive, false);
    EXPECT_EQ(walked.status, WalkStatus::Failed);
    EXPECT_EQ(walked.code, 72);

    // What the items can hold still unpacks: a chunk exactly as large as its record.
    PayloadItem big = Item("big.dat", std::vector<std::uint8_t>(3u << 20, 1));
    std::vector<std::uint8_t> record = RecordWithLength(big);
    std::optional<std::vector<std::uint8_t>> packed = XzCompress(record.data(), record.size(), 1);
    ASSERT_TRUE(packed.has_value());
    walked = Walk(WalkHeader({std::int32_t(big.data.size())}), Archive({*packed}), true);
    EXPECT_EQ(walked.status, WalkStatus::Finished) << walked.code;
}

// The archive as a file: what is read, in how large pieces, and a read that fails.
class WatchedFile final : public ByteSource {
public:
    explicit WatchedFile(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t length) const override {
        largestRead = std::max(largestRead, length);
        if (position + length > failFrom) return false;
        return MemoryByteSource(m_bytes).ReadAt(position, buffer, length);
    }
    std::uint64_t Size() const override { return m_bytes.size(); }

    mutable std::size_t largestRead = 0;
    std::uint64_t failFrom = UINT64_MAX;

private:
    std::vector<std::uint8_t> m_bytes;
};

// A 3 MiB item in 1 MiB chunks: the record runs through several chunks, each
// decoded straight into it, while the file is read in pieces far smaller than
// the archive; a read that fails part-way stops the walk with 46.
TEST(ItemWalk, AnArchiveInAFileIsReadAsItIsConsumed) {
    std::vector<PayloadItem> items = SampleItems();
    items.insert(items.begin() + 1, Item("big.bin", testing::NoiseBytes(3u << 20, 7)));
    for (bool ciphered : {false, true}) {
        PayloadOptions options;
        options.payloadFlags = ciphered ? PayloadFlags::kCiphered : 0;
        options.payloadKey = kKey;
        options.chunkSize = 1u << 20;
        options.xzPreset = 0;
        ArchiveBuild build = EncodeArchive(items, true, options);
        ASSERT_TRUE(build.error.empty()) << build.error;
        // The archive starts part-way into the file, and other bytes follow it.
        std::vector<std::uint8_t> file(100 + build.archive.bytes.size() + 50, 0xEE);
        std::copy(build.archive.bytes.begin(), build.archive.bytes.end(), file.begin() + 100);
        WatchedFile source(file);
        PayloadHeader header = WalkHeader(build.archive.itemSizes, ciphered);
        PayloadCipher cipher(header);

        ItemWalker walker(header, source, 100, build.archive.bytes.size(), cipher, true);
        std::size_t index = 0;
        FileEntry entry;
        ItemStep step;
        for (step = walker.Next(entry); step.status == WalkStatus::Item; step = walker.Next(entry), ++index) {
            ASSERT_LT(index, items.size());
            EXPECT_EQ(entry.name, items[index].name);
            // The large item comes in pieces; the others whole.
            EXPECT_EQ(entry.IsStreamed(), index == 1);
            std::vector<std::uint8_t> data = entry.data.Copy();
            int code = 0;
            if (entry.IsStreamed()) {
                ASSERT_TRUE(ReadStreamedData(walker, data, code)) << code;
            }
            EXPECT_TRUE(data == items[index].data) << entry.name;
        }
        EXPECT_EQ(step.status, WalkStatus::Finished) << step.errorCode;
        EXPECT_EQ(index, items.size());
        // A ciphered chunk is held once, stored size and all; a plain one never.
        EXPECT_LE(source.largestRead, ciphered ? (1u << 20) + (64u << 10) : 256u << 10);

        source.failFrom = 100 + build.archive.bytes.size() / 2;
        ItemWalker failing(header, source, 100, build.archive.bytes.size(), cipher, true);
        while ((step = failing.Next(entry)).status == WalkStatus::Item) {
        }
        EXPECT_EQ(step.status, WalkStatus::Failed);
        EXPECT_EQ(step.errorCode, 46);
    }
}

// A large item's data is not held: what the caller does not read is read and
// checked by the next step, a wrong checksum is found either way, and a large
// record laid out otherwise than the builder writes it is read whole.
TEST(ItemWalk, LargeItemsAreReadInPiecesAndCheckedWhetherReadOrNot) {
    PayloadItem big = Item("big.bin", testing::NoiseBytes(kStreamedDataFrom + 12345, 3));
    PayloadItem small = Item("small.txt", {1, 2, 3});
    const std::vector<std::int32_t> sizes = {std::int32_t(big.data.size()), 3};
    std::vector<std::uint8_t> stream = Join(RecordWithLength(big), RecordWithLength(small));
    std::vector<std::uint8_t> archive;
    for (std::size_t at = 0; at < stream.size(); at += 300000) {
        AppendStoredChunk(archive, ByteView(stream).Sub(at, 300000).Copy());
    }
    PayloadHeader header = WalkHeader(sizes);
    PayloadCipher cipher(header);

    ItemWalker unread(header, archive, cipher, false);
    FileEntry entry;
    ASSERT_EQ(unread.Next(entry).status, WalkStatus::Item);
    EXPECT_TRUE(entry.IsStreamed());
    EXPECT_EQ(entry.streamedDataSize, big.data.size());
    EXPECT_TRUE(entry.data.empty());
    ASSERT_EQ(unread.Next(entry).status, WalkStatus::Item);
    EXPECT_EQ(entry.name, "small.txt");
    EXPECT_EQ(unread.Next(entry).status, WalkStatus::Finished);

    // One bit of the data changed, the checksum left: found at the last piece
    // read, or by the next step when the data was not read.
    std::vector<std::uint8_t> damaged = RecordWithLength(big);
    damaged[damaged.size() - 100] ^= 0x10;
    const std::vector<std::uint8_t> damagedArchive = Archive({damaged, RecordWithLength(small)});
    Walked walked = Walk(header, damagedArchive, false);
    EXPECT_EQ(walked.status, WalkStatus::Failed);
    EXPECT_EQ(walked.code, 100);
    ItemWalker skipping(header, damagedArchive, cipher, false);
    ASSERT_EQ(skipping.Next(entry).status, WalkStatus::Item);
    ItemStep step = skipping.Next(entry);
    EXPECT_EQ(step.status, WalkStatus::Failed);
    EXPECT_EQ(step.errorCode, 100);

    // Bytes after the checksum: the record is read whole, as before.
    std::vector<std::uint8_t> padded = Join(RecordWithLength(big), {7, 7});
    Put32(padded, 0, std::uint32_t(padded.size() - 4));
    walked = Walk(header, Archive({padded, RecordWithLength(small)}), false);
    EXPECT_EQ(walked.status, WalkStatus::Finished) << walked.code;
    ASSERT_EQ(walked.data.size(), 2u);
    EXPECT_TRUE(walked.data[0] == big.data);
    EXPECT_FALSE(walked.entries[0].IsStreamed());
}

TEST(ItemWalk, AStoppedWalkStaysStopped) {
    PayloadHeader header = WalkHeader({5});
    std::vector<std::uint8_t> archive = RawChunk(0, 0, {});
    PayloadCipher cipher(header);
    ItemWalker walker(header, archive, cipher, false);
    FileEntry entry;
    EXPECT_EQ(walker.Next(entry).errorCode, 61);
    EXPECT_EQ(walker.Next(entry).errorCode, 61);
    EXPECT_TRUE(entry.name.empty());
}

TEST(ItemWalk, ProgressRunsFrom28TowardsNinety) {
    EXPECT_EQ(ItemProgressPercent(0, 1), 28);
    EXPECT_EQ(ItemProgressPercent(1, 2), 59);
    EXPECT_EQ(ItemProgressPercent(999, 1000), 89);
    EXPECT_EQ(ItemProgressPercent(0x7FFFFFFE, 0x7FFFFFFF), 89) << "no overflow for large counts";
}

TEST(ArchiveChecks, LengthAndChecksumGuardTheWholeArchive) {
    std::vector<std::uint8_t> archive = {1, 2, 3, 4};
    PayloadHeader header;
    header.archiveLength = 4;
    header.archiveChecksum = Crc32(archive);
    EXPECT_EQ(CheckArchive(header, archive), 0);
    EXPECT_EQ(CheckArchive(header, ByteView(archive.data(), 3)), 46);
    archive[2] ^= 0x40;
    EXPECT_EQ(CheckArchive(header, archive), 55);
    EXPECT_EQ(CheckArchiveLength(header, 5), 46);
    EXPECT_EQ(CheckArchiveLength(header, -1), 46);
}

TEST(ArchiveChecks, ArchiveInTheSectionEndsAtThePayloadLength) {
    std::vector<std::uint8_t> payload(100, 0);
    PayloadHeader header;
    header.archiveOffset = 60;
    header.payloadLength = 90;
    auto archive = ArchiveBytesInSection(header, payload);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->data, payload.data() + 60);
    EXPECT_EQ(archive->size, 30u);
    header.payloadLength = 101;
    EXPECT_FALSE(ArchiveBytesInSection(header, payload)) << "beyond the section";
    header.payloadLength = 59;
    EXPECT_FALSE(ArchiveBytesInSection(header, payload)) << "before the archive";
}

TEST(ArchiveChecks, ArchiveInTheFileIsBoundedByItsLength) {
    PayloadHeader header;
    header.archiveOffset = 0x80;
    header.archiveLength = 0x100;
    ArchiveFileRange range = ArchiveRangeInFile(header, 0x2000, 0x2180);
    EXPECT_EQ(range.position, 0x2080u);
    EXPECT_EQ(range.available, 0x100);
    EXPECT_EQ(CheckArchiveLength(header, range.available), 0);
    // Bytes after the archive (an appended signature, a carried uninstaller) are not part of it.
    EXPECT_EQ(ArchiveRangeInFile(header, 0x2000, 0x2190).available, 0x100);
    EXPECT_EQ(CheckArchiveLength(header, ArchiveRangeInFile(header, 0x2000, 0x2190).available), 0);
    // A file that ends inside the archive is still 46.
    EXPECT_EQ(CheckArchiveLength(header, ArchiveRangeInFile(header, 0x2000, 0x217f).available), 46);
    EXPECT_LT(ArchiveRangeInFile(header, 0x2000, 0x2000).available, 0);
}

}  // namespace
}  // namespace palisade
