// A parsed project file: the settings, the build options, the file entries and the languages.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "builder/languages.h"
#include "builder/sign_command.h"
#include "builder/source_glob.h"
#include "common/diagnostics.h"
#include "payload/file_entry.h"
#include "payload/payload_header.h"
#include "payload/settings.h"
#include "payload/vendor_record.h"

namespace palisade::tools {

inline constexpr std::size_t kMinChunkSize = 4u << 10;
inline constexpr std::size_t kMaxChunkSize = 256u << 20;

// The `[build]` table; the command line overrides each of them.
struct BuildOptions {
    bool compress = true;                 // `SettingsFlags1` 0x20
    bool cipher = false;                  // `PayloadFlags` 0x1000
    std::optional<std::array<std::uint8_t, kPayloadKeySize>> cipherKey;  // random when ciphering without one
    std::optional<std::size_t> chunkSize;  // none: chosen from the payload (AutomaticChunkSize)
    std::uint32_t xzPreset = 6;
    bool xzExtreme = false;
    bool best = false;                    // try the x86 branch filter on every chunk, keep the smaller
    unsigned jobs = 0;                    // 0: one thread per core
    std::string stub;                     // empty: the stub this builder was built with
    std::string output;                   // empty: given on the command line
    SignCommand sign;                     // the signing command; empty: the installer is not signed
};

// One `[[files]]` entry before its source is resolved.
struct FileSpec {
    SourcePlace place;               // of the entry, for errors found while reading its files
    std::string source;              // file, folder or glob, relative to the project folder
    std::vector<std::string> exclude;
    std::string destination;         // folder below the kind's folder, '\\'-separated; may hold variables
    std::string name;                // destination file name; one source file only
    EntryKind kind = EntryKind::File;
    std::uint32_t flags = 0;         // shortcut bits, overwrite mode, permanent, ...
    std::int32_t attributes = -1;
    std::optional<FileTimeStamp> timeStamp;  // nothing: the source file's modification time (UTC)
    std::string info;                // UTF-8
    std::string shortcutName;        // UTF-8; empty: the file name without its extension
    std::string arguments;           // UTF-8, stored as Windows-1252
    std::string extra;               // UTF-8: start-in folder, or a control panel applet's CLSID
    std::int32_t msiUiLevel = 0;
    bool unusualDestination = false;  // the author means a destination that climbs out, or names a stream or a device
    std::vector<SourceFile> sources;  // what `source` resolved to when the project was read
};

struct Project {
    std::string file;                // as given
    std::filesystem::path folder;    // sources, languages and documents are relative to it
    InstallerSettings settings;      // everything but the catalogue, which BuildCatalogue makes
    std::uint32_t payloadFlags = 0;  // without the cipher bit, which follows build.cipher
    BuildOptions build;
    VendorValues crashReport;        // the `[crash_report]` table, written into the stub's record
    std::vector<FileSpec> files;
    std::vector<LanguageSource> languages;
    // SOURCE_DATE_EPOCH when set: the build date, the latest time stamp an
    // item takes from its source file, and what makes an unnamed cipher key
    // follow the content instead of chance.
    std::optional<std::int64_t> sourceDateEpoch;
    // Every file the project reads besides its sources (documents, icons,
    // texts, language files): the output may not be one of them.
    std::vector<std::filesystem::path> inputs;
};

// Reads and checks a project file and the language files it names. Every
// problem is reported (file:line:column) and the result is then empty.
std::optional<Project> ReadProject(const std::string& path, Diagnostics& diagnostics);

}  // namespace palisade::tools
