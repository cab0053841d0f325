// The builder's side of the payload: archive chunks, settings block and header.
#include "payload/payload_writer.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "payload/blowfish.h"
#include "payload/crc32.h"
#include "payload/little_endian.h"
#include "payload/parallel_tasks.h"
#include "payload/xor_mask.h"
#include "payload/xz_codec.h"

namespace palisade {
namespace {

constexpr std::size_t kMaxStoredLength = std::size_t(std::numeric_limits<std::int32_t>::max());

bool IsCiphered(const PayloadOptions& options) { return (options.payloadFlags & PayloadFlags::kCiphered) != 0; }

Blowfish KeyedCipher(const PayloadOptions& options) {
    Blowfish cipher;
    cipher.SetKey(options.payloadKey.data(), options.payloadKey.size());
    return cipher;
}

// The chunk compressed; with `tryBranchFilter` also through the x86 branch
// filter, keeping the smaller (the first on a tie).
std::optional<std::vector<std::uint8_t>> CompressChunk(const std::vector<std::uint8_t>& plain,
                                                       const PayloadOptions& options) {
    auto packed = XzCompress(plain.data(), plain.size(), options.xzPreset);
    if (!packed || !options.tryBranchFilter) return packed;
    auto filtered = XzCompress(plain.data(), plain.size(), options.xzPreset, XzFilter::X86);
    if (!filtered) return std::nullopt;
    return filtered->size() < packed->size() ? std::move(filtered) : std::move(packed);
}

// One chunk as stored: compressed and/or ciphered. Nothing on an encoder failure.
std::optional<std::vector<std::uint8_t>> EncodeChunk(std::vector<std::uint8_t> plain, bool compress,
                                                     const Blowfish* cipher, const PayloadOptions& options) {
    if (compress) {
        auto packed = CompressChunk(plain, options);
        if (!packed) return std::nullopt;
        plain = std::move(*packed);
    }
    if (cipher) {
        plain = cipher->EncipherFramed(plain.data(), plain.size());
        if (plain.empty()) return std::nullopt;
    }
    return plain;
}

std::string CheckItems(const std::vector<PayloadItem>& items) {
    if (items.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) return "too many items";
    for (const PayloadItem& item : items) {
        std::string problem = ValidatePayloadItem(item);
        if (!problem.empty()) return problem;
    }
    return {};
}

}  // namespace

std::size_t AutomaticChunkSize(std::size_t streamLength, bool ciphered) {
    return std::clamp<std::size_t>(streamLength, 4096,
                                   ciphered ? kMaxAutomaticCipheredChunkSize : kMaxAutomaticChunkSize);
}

void AppendStoredChunk(std::vector<std::uint8_t>& archive, const std::vector<std::uint8_t>& stored) {
    AppendI32(archive, static_cast<std::int32_t>(stored.size()));
    AppendU32(archive, Crc32(stored));
    archive.insert(archive.end(), stored.begin(), stored.end());
}

ArchiveBuild EncodeArchive(const std::vector<PayloadItem>& items, bool compressChunks, const PayloadOptions& options) {
    ArchiveBuild build;
    build.error = CheckItems(items);
    if (!build.error.empty()) return build;
    for (const PayloadItem& item : items) build.archive.itemSizes.push_back(std::int32_t(item.data.size()));

    ItemStream stream(items);
    auto ranges = SplitItemStream(stream.Length(), stream.LengthFieldOffsets(), options.chunkSize);
    std::optional<Blowfish> cipher;
    if (IsCiphered(options)) cipher = KeyedCipher(options);
    std::vector<std::optional<std::vector<std::uint8_t>>> stored(ranges.size());
    RunParallelTasks(ranges.size(), options.threadCount, [&](std::size_t i) {
        std::vector<std::uint8_t> plain;
        stream.CopyRange(ranges[i].first, ranges[i].second, plain);
        stored[i] = EncodeChunk(std::move(plain), compressChunks, cipher ? &*cipher : nullptr, options);
    });

    for (auto& chunk : stored) {
        if (!chunk) {
            build.error = "an archive chunk could not be compressed";
            return build;
        }
        std::size_t used = build.archive.bytes.size() + 8;  // with this chunk's size and checksum
        if (used > kMaxStoredLength || chunk->size() > kMaxStoredLength - used) {
            build.error = "the archive is larger than 2 GiB";
            return build;
        }
        AppendStoredChunk(build.archive.bytes, *chunk);
        chunk.reset();  // the stored copy is in the archive now
    }
    build.archive.chunkCount = ranges.size();
    return build;
}

EncodedSettings EncodeSettingsBlock(const std::vector<std::uint8_t>& plain, const PayloadOptions& options) {
    EncodedSettings encoded;
    encoded.checksum = Crc32(plain);
    auto packed = XzCompress(plain.data(), plain.size(), options.xzPreset);
    if (!packed) {
        encoded.error = "the settings could not be compressed";
        return encoded;
    }
    if (IsCiphered(options)) {
        encoded.stored = KeyedCipher(options).EncipherFramed(packed->data(), packed->size());
    } else {
        encoded.stored = std::move(*packed);
        ApplyXorMask(encoded.stored.data(), encoded.stored.size(), encoded.checksum);
    }
    if (encoded.stored.empty() || encoded.stored.size() > std::size_t(kMaxSettingsSize)) {
        encoded.error = "the compressed settings are larger than the payload header allows";
    }
    return encoded;
}

std::vector<std::uint8_t> WritePayloadHeader(const PayloadHeader& header) {
    std::vector<std::uint8_t> out;
    AppendU32(out, header.magic);
    out.insert(out.end(), header.builderVersion.begin(), header.builderVersion.end());
    out.push_back(0);
    AppendU32(out, header.payloadFlags);
    AppendI32(out, header.settingsSize);
    AppendU32(out, header.settingsChecksum);
    AppendU32(out, header.fileChecksum);
    AppendI32(out, header.payloadLength);
    AppendI32(out, header.itemCount);
    AppendI32(out, header.archiveLength);
    AppendU32(out, header.archiveChecksum);
    for (std::int32_t size : header.itemSizes) AppendI32(out, size);
    if (header.IsCiphered() && header.payloadKey) out.insert(out.end(), header.payloadKey->begin(), header.payloadKey->end());
    return out;
}

std::size_t PayloadHeaderLength(std::size_t itemCount, bool ciphered) {
    constexpr std::size_t kFixedFields = 4 + sizeof(kBuilderVersion) + 8 * 4;
    return kFixedFields + 4 * itemCount + (ciphered ? kPayloadKeySize : 0);
}

PayloadBuild AssemblePayload(const EncodedSettings& settings, EncodedArchive archive, bool archiveInFile,
                             bool storeFileChecksum, const PayloadOptions& options) {
    PayloadBuild build;
    PayloadHeader header;
    header.magic = kPayloadMagic;
    header.builderVersion = kBuilderVersion;
    header.payloadFlags = options.payloadFlags;
    header.settingsSize = static_cast<std::int32_t>(settings.stored.size());
    header.settingsChecksum = settings.checksum;
    header.itemCount = static_cast<std::int32_t>(archive.itemSizes.size());
    header.archiveLength = static_cast<std::int32_t>(archive.bytes.size());
    header.archiveChecksum = Crc32(archive.bytes);
    header.itemSizes = std::move(archive.itemSizes);
    if (header.IsCiphered()) header.payloadKey = options.payloadKey;

    std::size_t headerLength = WritePayloadHeader(header).size();
    std::size_t inSection = headerLength + settings.stored.size() + (archiveInFile ? 0 : archive.bytes.size());
    if (inSection > kMaxStoredLength) {
        build.error = "the payload is larger than 2 GiB";
        return build;
    }
    header.payloadLength = static_cast<std::int32_t>(inSection);
    build.payload.headerAndSettings = WritePayloadHeader(header);
    build.payload.headerAndSettings.insert(build.payload.headerAndSettings.end(), settings.stored.begin(),
                                           settings.stored.end());
    build.payload.archive = std::move(archive.bytes);
    build.payload.archiveInFile = archiveInFile;
    build.payload.storeFileChecksum = storeFileChecksum;
    return build;
}

}  // namespace palisade
