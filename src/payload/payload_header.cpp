// The payload header at the start of the `.setup` section: fields, checks and codes.
#include "payload/payload_header.h"

#include <algorithm>
#include <cstring>

#include "core/fatal_codes.h"
#include "core/format.h"
#include "core/text.h"
#include "payload/payload_cursor.h"

namespace palisade {
namespace {

constexpr std::size_t kMaxReportedVersion = 256;

// Error codes of the header checks; a field too short to read fails the check
// of the field it belongs to (see docs/payload-format.md).

// Fields 1 and 2. Nothing when both pass.
std::optional<PayloadHeaderRead> ReadIdentity(PayloadCursor& cursor, ByteView payload, PayloadHeader& header) {
    auto magic = cursor.ReadU32();
    if (!magic || *magic != kPayloadMagic) return PayloadError{FatalCode::kBadMagic};
    header.magic = *magic;
    std::size_t versionStart = cursor.Offset();
    auto version = cursor.ReadNarrowString();
    if (!version) {
        // No NUL before the end of the section: report what is there.
        ByteView rest = payload.Sub(versionStart, kMaxReportedVersion);
        return BuilderVersionMismatch{std::string(rest.begin(), rest.end())};
    }
    if (*version != kBuilderVersion) {
        return BuilderVersionMismatch{std::string(version->substr(0, kMaxReportedVersion))};
    }
    header.builderVersion = std::string(*version);
    return std::nullopt;
}

// Fields 3 to 10. Returns 0 or the code of the failed check.
int ReadCountsAndSizes(PayloadCursor& cursor, PayloadHeader& header) {
    auto flags = cursor.ReadU32();
    auto settingsSize = cursor.ReadI32();
    if (!flags || !settingsSize || *settingsSize < 1 || *settingsSize > kMaxSettingsSize) return FatalCode::kSettingsSize;
    header.payloadFlags = *flags;
    header.settingsSize = *settingsSize;

    auto settingsChecksum = cursor.ReadU32();
    auto fileChecksum = cursor.ReadU32();
    auto payloadLength = cursor.ReadI32();
    if (!settingsChecksum || !fileChecksum || !payloadLength || *payloadLength < 0) return FatalCode::kPayloadLength;
    header.settingsChecksum = *settingsChecksum;
    header.fileChecksum = *fileChecksum;
    header.payloadLength = *payloadLength;

    auto itemCount = cursor.ReadI32();
    if (!itemCount || *itemCount < 0) return FatalCode::kItemCount;
    header.itemCount = *itemCount;

    auto archiveLength = cursor.ReadI32();
    auto archiveChecksum = cursor.ReadU32();
    if (!archiveLength || !archiveChecksum || *archiveLength < 0) return FatalCode::kArchiveLength;
    header.archiveLength = *archiveLength;
    header.archiveChecksum = *archiveChecksum;
    return 0;
}

// Fields 11 and 12, and the place of the settings block. Returns 0 or a code.
int ReadTableAndKey(PayloadCursor& cursor, PayloadHeader& header) {
    // The table must fit before anything is reserved for it: a huge count in a
    // small section is a damaged table, not a reason to run out of memory.
    std::size_t count = static_cast<std::size_t>(header.itemCount);
    if (cursor.Remaining() / 4 < count) return FatalCode::kItemSize;
    header.itemSizes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::int32_t size = *cursor.ReadI32();
        if (size < 0 || size > kMaxItemSize) return FatalCode::kItemSize;
        header.itemSizes.push_back(size);
    }
    if (header.IsCiphered()) {
        auto key = cursor.ReadBytes(kPayloadKeySize);
        if (!key) return FatalCode::kSettingsSize;
        header.payloadKey.emplace();
        std::copy(key->begin(), key->end(), header.payloadKey->begin());
    }
    header.settingsOffset = cursor.Offset();
    if (!cursor.Skip(static_cast<std::size_t>(header.settingsSize))) return FatalCode::kSettingsSize;
    header.archiveOffset = cursor.Offset();
    return 0;
}

}  // namespace

std::uint64_t PayloadHeader::TotalItemSize() const {
    std::uint64_t total = 0;
    for (std::int32_t size : itemSizes) total += static_cast<std::uint64_t>(size);
    return total;
}

PayloadHeaderRead ReadPayloadHeader(ByteView payload) {
    PayloadCursor cursor(payload);
    PayloadHeader header;
    if (auto failure = ReadIdentity(cursor, payload, header)) return *failure;
    if (int code = ReadCountsAndSizes(cursor, header)) return PayloadError{code};
    if (int code = ReadTableAndKey(cursor, header)) return PayloadError{code};
    return header;
}

std::u16string FormatVersionMismatch(std::u16string_view caption, std::string_view storedVersion) {
    std::u16string stored = Widen(storedVersion);
    return Format(kVersionMismatchText, {caption, stored, caption});
}

}  // namespace palisade
