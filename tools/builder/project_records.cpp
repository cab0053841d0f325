// The settings that are records rather than single values: flag words, documents, pictures, versions, dates.
#include <cstdlib>
#include <ctime>

#include "builder/project_sections.h"
#include "builder/time_stamps.h"
#include "common/project_keys.h"

namespace palisade::tools {

namespace {

void ReadPlacements(TomlReader& reader, const toml::table& table, ShortcutPlacements& placements) {
    reader.CheckKnownKeys(table, KeyNames(MembersOf("ShortcutPlacements")), "ShortcutPlacements");
    struct Slot {
        const char* key;
        std::uint8_t* target;
    };
    for (Slot slot : {Slot{"Flag1", &placements.forFlag1}, Slot{"Flag2", &placements.forFlag2},
                      Slot{"Kind5", &placements.forKind5}, Slot{"Uninstaller", &placements.forUninstaller}}) {
        const toml::node* node = table.get(slot.key);
        if (!node) continue;
        auto value = ReadFlagWord(reader, *node, FlagWord::ShortcutPlacement, slot.key);
        if (value && *value > 0xFF) {
            reader.Error(*node, std::string("'") + slot.key + "' holds bits that are no placement");
        } else if (value) {
            *slot.target = std::uint8_t(*value);
        }
    }
}

// "major.minor" or "major.minor.build" of a Windows NT version.
void ReadMinimumSystem(TomlReader& reader, const toml::node& node, MinimumSystemVersion& version) {
    auto* text = node.as_string();
    unsigned major = 0, minor = 0, build = 0;
    int consumed = 0;
    bool good = false;
    if (text) {
        const std::string& s = text->get();
        good = (std::sscanf(s.c_str(), "%u.%u.%u%n", &major, &minor, &build, &consumed) == 3 &&
                std::size_t(consumed) == s.size()) ||
               (build = 0, std::sscanf(s.c_str(), "%u.%u%n", &major, &minor, &consumed) == 2 &&
                               std::size_t(consumed) == s.size());
    }
    if (!good) {
        reader.Error(node, "'MinimumSystemVersion' must be \"major.minor\" or \"major.minor.build\", e.g. \"6.1\"");
        return;
    }
    version = {};
    version.major = major;
    version.minor = minor;
    version.build = build;
    version.platformId = 2;  // Windows NT
}

// The time of the build, or SOURCE_DATE_EPOCH for reproducible builds.
CalendarTime DefaultBuildDate(const std::optional<std::int64_t>& sourceDateEpoch) {
    std::int64_t seconds = sourceDateEpoch ? *sourceDateEpoch : std::int64_t(std::time(nullptr));
    return TimeStampFromEpoch(seconds);
}

void ReadBuildDate(TomlReader& reader, const toml::node* node, const Project& project, CalendarTime& date) {
    date = DefaultBuildDate(project.sourceDateEpoch);
    if (!node) return;
    std::optional<FileTimeStamp> stamp;
    if (auto* text = node->as_string()) stamp = ParseTimeStamp(text->get());
    if (!stamp) {
        reader.Error(*node, "'BuildDate' must be \"none\" or \"YYYY-MM-DD hh:mm:ss\"");
        return;
    }
    date = {};
    if (!stamp->HasDate()) return;
    date.year = std::uint16_t(stamp->year);
    date.month = std::uint8_t(stamp->month);
    date.day = std::uint8_t(stamp->day);
    if (stamp->HasTime()) {
        date.hour = std::uint8_t(stamp->hour);
        date.minute = std::uint8_t(stamp->minute);
        date.second = std::uint8_t(stamp->second);
    }
}

void ReadDocuments(TomlReader& reader, Project& project, const toml::table& root, std::string_view key,
                   std::vector<ByteBlob>& documents) {
    const toml::node* node = root.get(key);
    std::optional<std::vector<std::string>> paths = reader.StringList(root, key);
    if (!node || !paths) return;
    if (paths->size() > 20) reader.Error(*node, "'" + std::string(key) + "' holds at most 20 documents");
    documents.clear();
    for (const std::string& path : *paths) {
        if (auto bytes = ReadProjectFile(reader, project, *node, path)) documents.push_back(std::move(*bytes));
    }
}

void ReadPicture(TomlReader& reader, Project& project, const toml::table& root) {
    if (std::optional<std::string> path = reader.String(root, "BackgroundPicture")) {
        if (auto bytes = ReadProjectFile(reader, project, *root.get("BackgroundPicture"), *path)) {
            project.settings.backgroundPicture = std::move(*bytes);
        }
    }
    if (auto tpi = reader.Integer(root, "BitmapTpi", INT32_MIN, INT32_MAX)) project.settings.bitmapTpi = int(*tpi);
}

}  // namespace

std::vector<std::string> StructuredSettingKeys() {
    return KeyNames(StructuredSettingKeyTable());
}

void ReadStructuredSettings(TomlReader& reader, const toml::table& root, Project& project) {
    InstallerSettings& settings = project.settings;
    if (const toml::node* node = root.get("PayloadFlags")) {
        if (auto value = ReadFlagWord(reader, *node, FlagWord::PayloadFlags, "PayloadFlags")) {
            if (*value & PayloadFlags::kCiphered) {
                reader.Error(*node, "'PayloadFlags' cannot hold Ciphered: use cipher = true in [build]");
            }
            project.payloadFlags = *value & ~PayloadFlags::kCiphered;
        }
    }
    if (const toml::node* node = root.get("InstallerOptions")) {
        if (auto value = ReadFlagWord(reader, *node, FlagWord::InstallerOptions, "InstallerOptions")) {
            settings.installerOptions = *value;
        }
    }
    if (auto size = reader.Integer(root, "FixedSize", 0, INT64_MAX)) settings.fixedSize = std::uint64_t(*size);
    if (auto size = reader.Integer(root, "ReserveSize", 0, INT64_MAX)) settings.reserveSize = std::uint64_t(*size);
    if (const toml::table* table = reader.Table(root, "ShortcutPlacements")) {
        ReadPlacements(reader, *table, settings.shortcutPlacements);
    }
    if (const toml::node* node = root.get("MinimumSystemVersion")) {
        ReadMinimumSystem(reader, *node, settings.minimumSystemVersion);
    }
    ReadBuildDate(reader, root.get("BuildDate"), project, settings.buildDate);
    ReadDocuments(reader, project, root, "LicenceTexts", settings.licenceTexts);
    ReadDocuments(reader, project, root, "ReadmeTexts", settings.readmeTexts);
    ReadPicture(reader, project, root);
}

}  // namespace palisade::tools
