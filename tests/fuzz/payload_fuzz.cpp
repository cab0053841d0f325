// libFuzzer target over the payload reader: header, settings block, archive and
// item walk on arbitrary section bytes, and the item walk on arbitrary item streams.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "payload/archive.h"
#include "payload/item_walker.h"
#include "payload/payload_decoder.h"
#include "payload/payload_header.h"
#include "payload/payload_writer.h"
#include "payload/settings_schema.h"

namespace palisade {
namespace {

// Items of `streamFrom` bytes and more are streamed; every other one of them is read.
void WalkAll(const PayloadHeader& header, ByteView archive, const PayloadCipher& cipher, bool compressed,
             std::size_t streamFrom = kStreamedDataFrom) {
    ItemWalker walker(header, archive, cipher, compressed);
    walker.StreamDataFrom(streamFrom);
    FileEntry entry;
    std::uint32_t sink = 0;
    std::uint8_t piece[97];
    for (ItemStep step = walker.Next(entry); step.status == WalkStatus::Item; step = walker.Next(entry)) {
        // Touch every data byte so that a bad span is caught.
        for (std::uint8_t b : entry.data) sink += b;
        std::size_t produced = 1;
        while (entry.IsStreamed() && step.index % 2 == 0 && produced > 0) {
            if (walker.ReadData(piece, sizeof piece, produced) != 0) break;
            for (std::size_t i = 0; i < produced; ++i) sink += piece[i];
        }
    }
    volatile std::uint32_t keep = sink;
    (void)keep;
}

// The whole section, as the stub reads it. With `skipArchiveChecksum` the
// archive's CRC is not required, so that the walk is reached.
void FuzzSection(ByteView section, bool skipArchiveChecksum, bool compressed) {
    PayloadHeaderRead read = ReadPayloadHeader(section);
    auto* header = std::get_if<PayloadHeader>(&read);
    if (!header) return;
    PayloadCipher cipher(*header);
    SettingsBlockResult block = DecodeSettingsBlock(*header, section, cipher);
    if (block.errorCode == 0) ReadSettings(block.block, header->settingsChecksum);
    auto archive = ArchiveBytesInSection(*header, section);
    if (!archive || CheckArchiveLength(*header, std::int64_t(archive->size)) != 0) return;
    if (!skipArchiveChecksum && CheckArchiveChecksum(*header, *archive) != 0) return;
    WalkAll(*header, *archive, cipher, compressed);
}

// Arbitrary item stream bytes, cut into correctly framed chunks, so that record
// parsing is reached without the fuzzer having to find CRCs.
void FuzzItemStream(ByteView input, std::size_t chunkSize) {
    if (input.size < 1) return;
    std::size_t itemCount = input[0] % 8;
    if (input.size < 1 + itemCount * 2) return;
    PayloadHeader header;
    header.itemCount = std::int32_t(itemCount);
    for (std::size_t i = 0; i < itemCount; ++i) {
        header.itemSizes.push_back(std::int32_t(input[1 + 2 * i] | input[2 + 2 * i] << 8));
    }
    ByteView stream = input.Sub(1 + itemCount * 2);
    std::vector<std::uint8_t> archive;
    for (std::size_t at = 0; at < stream.size; at += chunkSize) {
        AppendStoredChunk(archive, stream.Sub(at, chunkSize).Copy());
    }
    PayloadCipher cipher(header);
    WalkAll(header, archive, cipher, false, chunkSize % 3 == 0 ? 1 : chunkSize);
}

}  // namespace
}  // namespace palisade

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::uint8_t mode = data[0];
    palisade::ByteView rest(data + 1, size - 1);
    if (mode & 1) {
        palisade::FuzzSection(rest, (mode & 2) != 0, (mode & 4) != 0);
    } else {
        palisade::FuzzItemStream(rest, std::size_t(mode >> 1) + 1);
    }
    return 0;
}
