// The keys of the project file besides the plain settings: one table that the
// readers check names against and that `palisade keys` and the JSON Schema print.
#include "common/project_keys.h"

#include <cstdint>
#include <limits>

#include "common/entry_names.h"

namespace palisade::tools {

namespace {

constexpr std::int64_t kI32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kI32Max = std::numeric_limits<std::int32_t>::max();

ProjectKey Key(std::string name, KeyType type, std::string description, std::string defaultJson = "") {
    ProjectKey key;
    key.name = std::move(name);
    key.type = type;
    key.description = std::move(description);
    key.defaultJson = std::move(defaultJson);
    return key;
}

ProjectKey Required(ProjectKey key) {
    key.required = true;
    return key;
}

ProjectKey Text(std::string name, std::string description, std::string defaultJson = "\"\"") {
    return Key(std::move(name), KeyType::Text, std::move(description), std::move(defaultJson));
}

ProjectKey Pattern(ProjectKey key, std::string pattern) {
    key.pattern = std::move(pattern);
    return key;
}

ProjectKey Boolean(std::string name, std::string description, bool defaultValue) {
    return Key(std::move(name), KeyType::Boolean, std::move(description), defaultValue ? "true" : "false");
}

ProjectKey Integer(std::string name, std::int64_t min, std::int64_t max, std::string description,
                   std::int64_t defaultValue) {
    ProjectKey key = Key(std::move(name), KeyType::Integer, std::move(description), std::to_string(defaultValue));
    key.min = min;
    key.max = max;
    return key;
}

ProjectKey Flags(std::string name, FlagWord word, std::string description, std::string defaultJson = "[]") {
    ProjectKey key = Key(std::move(name), KeyType::FlagList, std::move(description), std::move(defaultJson));
    key.flagWord = word;
    return key;
}

template <typename T>
std::vector<std::string> NamesOf(const std::vector<Named<T>>& names) {
    std::vector<std::string> list;
    for (const Named<T>& named : names) list.push_back(named.name);
    return list;
}

ProjectKey Choice(std::string name, std::vector<std::string> choices, std::string description,
                  std::string defaultValue, KeyType type = KeyType::Choice) {
    ProjectKey key = Key(std::move(name), type, std::move(description),
                         defaultValue.empty() ? "" : "\"" + defaultValue + "\"");
    key.choices = std::move(choices);
    return key;
}

ProjectKey Tables(std::string name, std::string description, std::vector<ProjectKey> members,
                  std::int64_t maxItems = 0, KeyType type = KeyType::TableList) {
    ProjectKey key = Key(std::move(name), type, std::move(description));
    key.members = std::move(members);
    key.maxItems = maxItems;
    return key;
}

std::vector<ProjectKey> ListRecordKeys();

std::vector<ProjectKey> MakeStructuredKeys() {
    ProjectKey payloadFlags = Flags("PayloadFlags", FlagWord::PayloadFlags,
                                    "The payload header's flag word; Ciphered follows 'cipher' in [build]");
    payloadFlags.excludedFlags = {"Ciphered"};
    ProjectKey documents[] = {
        Key("LicenceTexts", KeyType::FilePathList, "Licence pages: each file (plain or rich text) is one page"),
        Key("ReadmeTexts", KeyType::FilePathList, "Readme pages: each file is one page"),
    };
    for (ProjectKey& key : documents) key.maxItems = 20;
    std::vector<ProjectKey> keys = {
        payloadFlags,
        Flags("InstallerOptions", FlagWord::InstallerOptions, "Option bits of the file-installation record"),
        Integer("FixedSize", 0, std::numeric_limits<std::int64_t>::max(),
                "Bytes added to the space the folder page asks for", 0),
        Integer("ReserveSize", 0, std::numeric_limits<std::int64_t>::max(),
                "Further bytes the folder page reserves", 0),
        Tables("ShortcutPlacements", "Where the shortcuts of file entries and of the uninstaller go",
               {Flags("Flag1", FlagWord::ShortcutPlacement, "Entries with shortcut = \"start-menu\" (or \"both\")",
                      "[\"StartMenu\"]"),
                Flags("Flag2", FlagWord::ShortcutPlacement, "Entries with shortcut = \"desktop\" (or \"both\")",
                      "[\"Desktop\"]"),
                Flags("Kind5", FlagWord::ShortcutPlacement, "Entries of kind \"shortcut-file\"", "[\"StartMenu\"]"),
                Flags("Uninstaller", FlagWord::ShortcutPlacement, "The uninstaller's shortcut", "[\"StartMenu\"]")},
               0, KeyType::Table),
        Pattern(Key("MinimumSystemVersion", KeyType::Text,
                    "The oldest Windows NT version the product installs on, \"major.minor\" or "
                    "\"major.minor.build\" (\"6.1\" is Windows 7)"),
                "^[0-9]+\\.[0-9]+(\\.[0-9]+)?$"),
        Pattern(Key("BuildDate", KeyType::Text,
                    "The build date stored for the installer, \"YYYY-MM-DD hh:mm:ss\" (UTC) or \"none\"; "
                    "default: the time of the build, or SOURCE_DATE_EPOCH"),
                "^(none|[0-9]{4}-[0-9]{2}-[0-9]{2}([ Tt][0-9]{2}:[0-9]{2}:[0-9]{2}([Zz]|[+-][0-9]{2}:[0-9]{2})?)?)$"),
        documents[0],
        documents[1],
        Key("BackgroundPicture", KeyType::FilePath, "The background window's picture"),
        Integer("BitmapTpi", kI32Min, kI32Max, "Stored with the background picture", -1),
    };
    for (ProjectKey& list : ListRecordKeys()) keys.push_back(std::move(list));
    return keys;
}

std::vector<ProjectKey> ListRecordKeys() {
    constexpr std::int64_t kMaxEntries = 1000;
    return {
        Tables("FileDeletions", "Files deleted on a condition, at installation or uninstallation",
               {Required(Text("Path", "The file, relative to the installation folder; may hold variables", "")),
                Integer("Condition", 0, 255, "1..3 compare dates, 4 compares sizes, other: no condition", 0),
                Text("Reference", "The date or number compared with (Windows-1252)"),
                Flags("Flags", FlagWord::DeletionFlags, "When the file is deleted")},
               kMaxEntries),
        Tables("FileAssociations", "File types the product registers",
               {Required(Text("Extension", "The extension with its leading period (Windows-1252)", "")),
                Choice("Mode", {"full", "open-with"}, "A full association, or an entry of the Open With list", "full"),
                Text("ProgId", "The program identifier; empty or \"!...\" gives the extension key no default value"),
                Text("Verbs", "Verb names separated by commas (Windows-1252); the first is the default verb"),
                Text("Icon", "The DefaultIcon path"),
                Text("Description", "The program identifier's display text"),
                Key("Command", KeyType::TextList,
                    "The verbs' command line; a list gives each verb of 'Verbs' its own, in order"),
                Key("VerbLabel", KeyType::TextList,
                    "Each verb key's default value (its label in the menu); a list gives each verb its own")},
               kMaxEntries),
        Tables("AuthorShortcuts", "Shortcuts besides those of file entries",
               {Required(Text("Name", "The shortcut's name", "")),
                Required(Text("Target", "What the shortcut starts; may hold variables", "")),
                Text("Description", "The shortcut's description"), Text("Arguments", "Command-line arguments"),
                Text("Folder", "A folder of its own; empty: the placements alone"),
                Flags("Placements", FlagWord::ShortcutPlacement, "Where the shortcut goes"),
                Integer("ShowCommand", 0, 255, "The window's show command; 0: the default", 0),
                Integer("IconIndex", 0, 255, "The icon of the target file", 0),
                Text("StartIn", "The start-in folder; empty: the installation folder"),
                Boolean("Permanent", "Never removed by the uninstaller", false),
                Boolean("ExpandTarget", "Variables in the target are expanded when the shortcut is made", false)},
               kMaxEntries),
        Tables("UninstallValues", "The author's values for the uninstall registration",
               {Required(Text("Name", "A value of the product key, or \"key path\\\\value name\" (Windows-1252)", "")),
                Choice("Type", {"REG_SZ", "REG_EXPAND_SZ", "REG_DWORD"}, "The value's type", "REG_SZ"),
                Text("Value", "The value; variables are expanded before it is written")},
               kMaxEntries),
        Tables("AutoCloseEntries", "Running programs to close before installing or uninstalling",
               {Required(Text("Application", "The program's name as shown to the user", "")),
                Text("Class", "The window class pattern"), Text("Title", "The window title pattern"),
                Choice("Action", {"close", "quit", "ask", "terminate"}, "How the program is closed", "close"),
                Integer("Phases", 0, 255,
                        "When: 1 before installing, 2 when the uninstaller starts, 4 after its confirmation", 1)},
               kMaxEntries),
    };
}

std::vector<ProjectKey> BuildKeys() {
    ProjectKey chunkSize = Key("chunk_size", KeyType::Size,
                               "Item-stream bytes per archive chunk: an integer or a text such as \"4 MiB\", "
                               "4 KiB to 256 MiB; default: chosen from the payload (equal chunks of at most 16 MiB)");
    chunkSize.min = 4096;
    chunkSize.max = 256 << 20;
    return {
        Boolean("compress", "xz-compress the archive chunks (SettingsFlags1 CompressedArchive)", true),
        Boolean("cipher", "Encipher the settings block and every chunk (PayloadFlags Ciphered)", false),
        Pattern(Key("cipher_key", KeyType::Text,
                    "The 8-byte PayloadKey as 16 hexadecimal digits; giving it turns 'cipher' on. Without it a "
                    "build takes a random key, or one from the content when SOURCE_DATE_EPOCH is set"),
                "^(0[xX])?[0-9a-fA-F]{16}$"),
        chunkSize,
        Integer("xz_preset", 0, 9, "The xz compression preset", 6),
        Boolean("xz_extreme", "The preset's extreme variant (slower, slightly smaller)", false),
        Boolean("best", "Compress every chunk also through the x86 branch filter and keep the smaller (twice the time)",
                false),
        Integer("jobs", 0, 256, "Compression threads; 0 is one per processor core", 0),
        Key("stub", KeyType::FilePath, "The installer stub to build from; default: the one the builder ships with"),
        Key("output", KeyType::FilePath, "The installer to write when -o is not given"),
        Pattern(Key("sign", KeyType::Text,
                    "A command that signs {file} in place, run by /bin/sh in the project's folder on the "
                    "uninstaller image and on the installer, e.g. \"osslsigncode sign -pkcs12 cert.pfx -in {file} "
                    "-out {file}.signed && mv {file}.signed {file}\""),
                "\\{file\\}"),
    };
}

std::vector<ProjectKey> CrashReportKeys() {
    return {
        Text("short_name", "The vendor's name in the crash dialog's apology line"),
        Text("sender", "The form's \"from\" address; without it the dialog's \"Inform Us\" button is disabled"),
        Text("header", "One header line added to every report (e.g. \"X-Product: hello\")"),
        Pattern(Text("endpoint", "The http: or https: address the report form is posted to; empty sends nothing"),
                "^$|^[hH][tT][tT][pP][sS]?://"),
    };
}

std::vector<ProjectKey> FileEntryKeys() {
    return {
        Required(Text("source", "A file, a folder (everything below it) or a glob, relative to the project file", "")),
        Key("exclude", KeyType::TextList, "Globs left out: without '/' they match file names, with '/' paths"),
        Text("destination", "The folder below the kind's folder; may start with a variable"),
        Text("name", "The installed file's name; only for a source that gives one file", ""),
        Choice("kind", NamesOf(KindNames()), "What the file is and where it goes", "file"),
        Choice("overwrite", NamesOf(OverwriteNames()), "When an existing file is replaced", "default"),
        Choice("shortcut", NamesOf(ShortcutNames()), "Shortcuts to the file (placed as ShortcutPlacements says)",
               "none"),
        Text("shortcut_name", "The shortcut's name; default: the file name without its extension", ""),
        Text("version", "system and newer-only entries: the file's version; default: the FileVersion of its own version resource "
                        "(a file without one is compared by date alone)"),
        Text("face", "font entries (required there): the name Windows lists the font under, e.g. \"Acme Sans "
                     "(TrueType)\""),
        Text("description", "The shortcut's or control-panel applet's description"),
        Text("info", "The field behind 'version', 'face' and 'description', by kind; give one of the four"),
        Text("arguments", "Command-line arguments of the shortcut or applet (Windows-1252)"),
        Text("start_in", "The shortcut's start-in folder"),
        Text("clsid", "control-panel entries: the applet's CLSID (required there)"),
        Integer("msi_ui_level", 0, 5, "msi entries: the package's user-interface level", 0),
        Boolean("permanent", "Never removed by the uninstaller", false),
        Boolean("to_uninstall_folder", "Installed into the uninstall data folder instead of the kind's folder", false),
        Boolean("unusual_destination",
                "The destination is meant to climb out of its folder (..), name a stream or a device, or be "
                "drive-relative; without it the builder refuses such a destination",
                false),
        Boolean("record_msi", "msi entries: record the package for the uninstaller", false),
        Choice("attributes", NamesOf(AttributeNames()), "File attributes given to the installed file; [] clears them",
               "", KeyType::ChoiceList),
        Key("time", KeyType::DateTime,
            "The file's time stamp: \"source\" (the file's own, in UTC), \"none\", a date or a date-time",
            "\"source\""),
    };
}

std::vector<ProjectKey> MakeTableKeys() {
    ProjectKey languages =
        Tables("languages", "Translations beside the built-in English texts: a shipped one by 'name', or a language file",
               {Key("file", KeyType::FilePath, "A language file (name and [messages]), relative to the project file"),
                Text("name", "Without 'file': a shipped translation by code or name (\"de\", \"fr\", \"ja\", ...); "
                             "with 'file': the name the language page shows",
                     "")},
               199);
    languages.requireAnyOf = {"file", "name"};
    return {
        Tables("build", "How the builder builds: compression, enciphering, chunks, threads", BuildKeys(), 0,
               KeyType::Table),
        Tables("crash_report",
               "Where a crash report goes when the user presses \"Inform Us\" in the installer's or uninstaller's "
               "crash dialog",
               CrashReportKeys(), 0, KeyType::Table),
        Tables("files", "One entry per file, folder or glob to install", FileEntryKeys()),
        languages,
    };
}

}  // namespace

const std::vector<ProjectKey>& StructuredSettingKeyTable() {
    static const std::vector<ProjectKey> keys = MakeStructuredKeys();
    return keys;
}

const std::vector<ProjectKey>& ProjectTableKeys() {
    static const std::vector<ProjectKey> keys = MakeTableKeys();
    return keys;
}

const ProjectKey* FindProjectKey(const std::vector<ProjectKey>& keys, const std::string& name) {
    for (const ProjectKey& key : keys) {
        if (key.name == name) return &key;
    }
    return nullptr;
}

std::vector<std::string> KeyNames(const std::vector<ProjectKey>& keys) {
    std::vector<std::string> names;
    for (const ProjectKey& key : keys) names.push_back(key.name);
    return names;
}

const std::vector<ProjectKey>& MembersOf(const std::string& tableKey) {
    static const std::vector<ProjectKey> kNone;
    for (const std::vector<ProjectKey>* keys : {&StructuredSettingKeyTable(), &ProjectTableKeys()}) {
        if (const ProjectKey* key = FindProjectKey(*keys, tableKey)) return key->members;
    }
    return kNone;
}

}  // namespace palisade::tools
