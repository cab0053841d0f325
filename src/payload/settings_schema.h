// The one table of the settings block's fields, walked by both the reader (stub) and the writer (builder).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/fatal_codes.h"
#include "payload/settings.h"
#include "payload/settings_stream.h"

namespace palisade {

inline constexpr std::uint32_t kSettingsEndMarker = 0xd3e82b97;
inline constexpr char kDeletionListEndWord[] = "~~THE END~~";
inline constexpr char16_t kAutoCloseEndWord[] = u"~~THE~END~~";
inline constexpr std::uint16_t kMaxStatusDelay = 9999;
inline constexpr std::int32_t kMaxDocumentCount = 20;
inline constexpr std::int32_t kMaxListEntries = 1000;

enum class SettingsEncoding {
    U8, U16, U32, I32, Double,
    Raw,            // fixed-size record
    CompactString, String8, String16, String32, NarrowText, WideText,
    Picture,        // i32 length; when > 0 the bytes, then i32 `BitmapTPI`
    CountedList,    // i32 count, then records
    EndWordList,    // records until an end word
    Catalogue,      // the `MessageCatalogue`
    EndMarker,      // u32 constant
    ChecksumPoint,  // no bytes: the settings checksum is tested here
};

struct SettingsField;
// Returns 0, or the corrupt-installer code for data that is short or malformed.
using SettingsReadFn = int (*)(SettingsReader&, InstallerSettings&, const SettingsField&);
using SettingsWriteFn = void (*)(SettingsWriter&, const InstallerSettings&, const SettingsField&);
using SettingsEqualFn = bool (*)(const InstallerSettings&, const InstallerSettings&);
using SettingsTestFn = bool (*)(const InstallerSettings&);
using SettingsDefaultFn = void (*)(InstallerSettings&);

struct SettingsReadOptions;
using SettingsAdjustFn = void (*)(InstallerSettings&, const SettingsReadOptions&);

// One encoded value (or record, or list) of the settings block.
struct SettingsField {
    int row = 0;                    // number in the field-order table
    const char* name = "";          // the InstallerSettings member(s) it fills
    SettingsEncoding encoding = SettingsEncoding::U32;
    SettingsTestFn present = nullptr;     // null: always stored; else stored only when true
    int checkCode = 0;                    // code of the field's own check; 0: none
    std::int32_t limit = 0;               // lists: most entries allowed
    SettingsTestFn check = nullptr;       // null, or whether the value read passes (else checkCode)
    SettingsDefaultFn applyDefault = nullptr;  // replaces an empty value right after reading
    SettingsAdjustFn adjust = nullptr;    // run-time rewrite right after reading (silent mode, `/n`)
    SettingsReadFn read = nullptr;
    SettingsWriteFn write = nullptr;
    SettingsEqualFn equal = nullptr;

    // The code for short data of this field: its own check's code, else the checksum's.
    int ShortDataCode() const { return checkCode != 0 ? checkCode : FatalCode::kSettingsChecksum; }
};

// All fields in block order.
const std::vector<SettingsField>& SettingsSchema();

struct SettingsReadOptions {
    bool silent = false;                              // `/silent`: rewrite the flag words
    std::optional<std::u16string> productNameOverride;  // `/n`: replaces the stored product name
    // Called after the background values (rows 1 to 6), just before the
    // checksum test: the point where the installer creates its background window.
    std::function<void(const InstallerSettings&)> beforeChecksum;
};

struct SettingsResult {
    std::optional<InstallerSettings> settings;
    int errorCode = 0;  // corrupt-installer code when settings is empty
};

// Reads the decompressed settings block. `settingsChecksum` is the payload
// header's CRC-32 of the block, tested after row 6 (code 25).
SettingsResult ReadSettings(const std::vector<std::uint8_t>& decompressedBlock, std::uint32_t settingsChecksum);
SettingsResult ReadSettings(const std::vector<std::uint8_t>& decompressedBlock, std::uint32_t settingsChecksum,
                            const SettingsReadOptions& options);

struct SettingsWriteResult {
    std::vector<std::uint8_t> block;
    // Values the reader would refuse or could not give back (a count above its
    // limit, a text too long for its encoding, ...); empty when the block is sound.
    std::vector<std::string> problems;
};

// Writes the settings block (uncompressed, unmasked); its CRC-32 is the
// header's settings checksum.
SettingsWriteResult WriteSettingsChecked(const InstallerSettings& settings);
std::vector<std::uint8_t> WriteSettings(const InstallerSettings& settings);

}  // namespace palisade
