// The installation action that adds the product's registry key, the author's registry entries, the merge file and App Paths.
#include "actions/win32/registry_entries_win32.h"

#include <windows.h>

#include <optional>

#include "actions/registry_entry_lines.h"
#include "actions/registry_record.h"
#include "actions/system_path_edit.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "actions/win32/registry_roots_win32.h"
#include "actions/win32/user_hives_win32.h"
#include "core/command_arguments.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/private_folder.h"
#include "core/win32/process.h"
#include "core/win32/registry.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

constexpr int kRegistryProgress = 97;
// Longer than any merge file takes; a regedit that hangs must not hold the installation.
constexpr std::uint32_t kMergeTimeoutMs = 120000;
constexpr char16_t kAppPathsKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

std::u16string ErrorText(Win32Status status) { return SystemErrorText(status.code()); }

// Where one line acts: one root, or every user's hive for "HKAU".
struct Target {
    HKEY root;
    std::u16string notation;  // "\HKLM", "\HKCU", "\HKU\<sid>"
};

// What one line did in all its targets, for the record.
struct KeyOutcome {
    // The shallowest key created in every target (the deepest of them when
    // they differ, so that nothing another hive had is deleted); empty
    // unless every target's key was created.
    std::u16string firstCreated;
    bool createdEverywhere = true;
    bool valueWritten = false;

    void Add(const CreatedKey& key) {
        if (!key.created) createdEverywhere = false;
        if (key.firstCreated.size() > firstCreated.size()) firstCreated = key.firstCreated;
    }
};

class RegistryStep {
public:
    explicit RegistryStep(InstallContext& context) : m_context(context) {}

    void CreateProductKey();
    void ApplyEntries();
    void MergeFile();
    void RegisterAppPath();

private:
    const UserHives& Hives() {
        if (!m_hives) m_hives.emplace();
        return *m_hives;
    }
    std::vector<Target> TargetsOf(KeyRoot root);
    void CreateKeyLine(const RegistryEntryLine& line, std::u16string_view text);
    void DeleteValueLine(const RegistryEntryLine& line);
    void WriteValueLine(const RegistryEntryLine& line, std::u16string_view text);
    void Record(const RegistryEntryLine& line, const KeyOutcome& outcome, std::u16string_view text);
    void LogKeyFailure(const Target& target, const std::u16string& subKey, Win32Status status);

    InstallContext& m_context;
    std::optional<UserHives> m_hives;  // loaded on first use, unloaded at the end of the step
};

std::vector<Target> RegistryStep::TargetsOf(KeyRoot root) {
    std::vector<Target> targets;
    if (root != KeyRoot::AllUsers) {
        targets.push_back({KeyRootHandle(root), u"\\" + std::u16string(KeyRootName(root))});
        return targets;
    }
    for (const UserHive& hive : Hives().Hives()) targets.push_back({hive.root, hive.notation});
    return targets;
}

void RegistryStep::CreateProductKey() {
    const std::u16string& name = m_context.settings.productRegistry;
    if (m_context.Flag2(Flags2::kNoProductKey) || name.empty()) return;
    std::u16string subKey = u"Software\\" + name;
    Win32Status failure;
    std::vector<Target> targets = TargetsOf(KeyRoot::AllUsers);
    targets.push_back({HKEY_LOCAL_MACHINE, u"\\HKLM"});
    for (const Target& target : targets) {
        Win32Result<CreatedKey> key = CreateKey(target.root, subKey);
        if (!key.ok() && failure.ok()) failure = key.status();
    }
    if (failure.ok()) return;
    m_context.log.failures.Append(Format(u"Error creating registry keys at \\Software\\%s\r\nCode %d: %s\r\n\r\n",
                                         {name, long(failure.code()), ErrorText(failure)}));
}

void RegistryStep::LogKeyFailure(const Target& target, const std::u16string& subKey, Win32Status status) {
    std::u16string key = subKey.empty() ? target.notation : target.notation + u"\\" + subKey;
    m_context.log.runLog.AppendWidePieces({u"Failed to create registry key: ", key, u"\r\n", ErrorText(status), u"\r\n"});
}

void RegistryStep::CreateKeyLine(const RegistryEntryLine& line, std::u16string_view text) {
    KeyOutcome outcome;
    for (const Target& target : TargetsOf(line.key.root)) {
        Win32Result<CreatedKey> key = CreateKey(target.root, line.key.subKey);
        if (!key.ok()) {
            LogKeyFailure(target, line.key.subKey, key.status());
            outcome.createdEverywhere = false;
            continue;
        }
        outcome.Add(*key);
    }
    Record(line, outcome, text);
}

void RegistryStep::DeleteValueLine(const RegistryEntryLine& line) {
    for (const Target& target : TargetsOf(line.key.root)) {
        // A key that cannot be opened holds no value to delete.
        Win32Result<UniqueHkey> key = TryOpenKey(target.root, line.key.subKey, KEY_SET_VALUE);
        // A value that stays is not a failure the author asked to hear about.
        if (key.ok()) (void)DeleteRegistryValue(key->get(), line.valueName);
    }
}

void RegistryStep::WriteValueLine(const RegistryEntryLine& line, std::u16string_view text) {
    std::u16string expanded = line.type == kRegSz ? m_context.Expand(line.data) : std::u16string();
    std::vector<std::uint8_t> bytes = EntryValueBytes(line, expanded);
    KeyOutcome outcome;
    for (const Target& target : TargetsOf(line.key.root)) {
        Win32Result<CreatedKey> key = CreateKey(target.root, line.key.subKey);
        if (!key.ok()) {
            LogKeyFailure(target, line.key.subKey, key.status());
            outcome.createdEverywhere = false;
            continue;
        }
        outcome.Add(*key);
        HKEY handle = key->key.get();
        if (OperationKeepsExisting(line.operation) && RegistryValueExists(handle, line.valueName)) continue;
        Win32Status status = SetRegistryValue(handle, line.valueName, DWORD(line.type), bytes);
        if (status.ok()) {
            outcome.valueWritten = true;
        } else {
            m_context.log.runLog.AppendWidePieces(
                {u"Failed to create registry value \"", line.valueName, u"\": ", ErrorText(status), u"\r\n"});
        }
    }
    Record(line, outcome, text);
}

// The uninstaller undoes what the record holds: a created key goes with
// everything below it; a value written into a key that was there before
// goes alone, by its own line (operations the uninstaller keeps are
// recorded as the author wrote them and stay).
void RegistryStep::Record(const RegistryEntryLine& line, const KeyOutcome& outcome, std::u16string_view text) {
    if (line.kind == RegistryLineKind::Value && !OperationIsUndone(line.operation)) return;
    std::u16string& record = m_context.record.registry2;
    if (outcome.createdEverywhere && !outcome.firstCreated.empty()) {
        AppendRecordLine(record, KeyRecordLine({line.key.root, outcome.firstCreated}));
    } else if (outcome.valueWritten) {
        AppendRecordLine(record, std::u16string(text) + u"\r\n");
    }
}

void RegistryStep::ApplyEntries() {
    const std::u16string& text = m_context.settings.registryEntries;
    if (text.empty()) return;
    for (const std::u16string& lineText : SplitEntryLines(text)) {
        RegistryEntryLine line = ParseEntryLine(lineText);
        switch (line.kind) {
            case RegistryLineKind::Empty: break;
            case RegistryLineKind::Illegal:
                m_context.log.failures.Append(u"Illegal registry entry: " + lineText + u"\r\n");
                break;
            case RegistryLineKind::Key: CreateKeyLine(line, lineText); break;
            case RegistryLineKind::Value:
                if (OperationDeletes(line.operation)) DeleteValueLine(line);
                if (OperationWrites(line.operation)) WriteValueLine(line, lineText);
                break;
        }
    }
}

void RegistryStep::MergeFile() {
    const std::vector<std::uint8_t>& text = m_context.settings.registryMerge;
    if (text.empty()) return;
    // The file regedit imports with the installer's rights lives in a folder
    // of this run's own, and regedit is waited for before the folder goes.
    Win32Result<PrivateFolder> folder = PrivateFolder::Create();
    std::u16string file = folder.ok() ? folder->File(u"merge.reg") : std::u16string();
    Win32Status written = folder.ok() ? WriteFileAtomically(file, ByteView(text)) : folder.status();
    if (written.failed()) {
        m_context.log.failures.Append(u"Failed to create the registry merge file: " + ErrorText(written) + u"\r\n");
        return;
    }
    m_context.log.runLog.AppendNarrow("Merging registry file...");
    ProcessRequest merge;
    merge.program = WindowsFolderPath() + u"\\regedit.exe";
    merge.commandLine = u"/s " + QuoteArgument(file);
    ProcessEnd end = RunProcessAndWait(merge, kMergeTimeoutMs, true);
    if (end.Ran()) {
        m_context.log.runLog.AppendNarrow("OK\r\n");
        return;
    }
    std::u16string reason = end.timedOut ? u"regedit did not finish in time." : ErrorText(end.status);
    m_context.log.runLog.AppendWidePieces({u"FAILED!\r\n", reason, u"\r\n"});
    m_context.log.failures.Append(u"Failed to import the registry merge file: " + reason + u"\r\n");
}

void RegistryStep::RegisterAppPath() {
    const std::u16string& program = m_context.settings.appPathsProgram;
    if (program.empty() || m_context.state.portable) return;
    std::u16string path = PathFolderFor(m_context.Expand(program), m_context.state.installFolder);
    RunLog& log = m_context.log.runLog;
    log.AppendNarrow("Registering exe path...");
    if (!FileExists(path)) {
        log.AppendWidePieces({u"FAILED, \"", path, u"\" does not exist.\r\n"});
        return;
    }
    std::u16string folder = CutLastComponent(path).value_or(m_context.state.installFolder);
    std::u16string subKey = std::u16string(kAppPathsKey) + u"\\" + path.substr(folder.size() + 1);
    Win32Result<CreatedKey> key = CreateKey(HKEY_LOCAL_MACHINE, subKey);
    if (!key.ok()) {
        log.AppendWidePieces({u"FAILED to create \"", subKey, u"\": ", ErrorText(key.status()), u"\r\n"});
        return;
    }
    if (!key->created) {
        log.AppendNarrow("a registration already exists\r\n");
        return;
    }
    m_context.record.uninstallItems.Record(u"\\HKLM\\" + subKey, UninstallItemType::RegistryKey);
    Win32Status status = SetRegistryText(key->key.get(), u"", path);
    if (status.ok()) status = SetRegistryText(key->key.get(), u"Path", folder);
    if (status.ok()) {
        log.AppendNarrow("OK\r\n");
    } else {
        log.AppendWidePieces({u"FAILED to create value: ", ErrorText(status), u"\r\n"});
    }
}

}  // namespace

void WriteRegistryEntries(InstallContext& context) {
    if (context.state.portable && context.Payload(PayloadFlags::kPortableNoRegistry)) return;
    context.progress.SetStatusMessage(Msg::kWritingRegistry);
    context.progress.SetProgress(kRegistryProgress);
    RegistryStep step(context);
    step.CreateProductKey();
    step.ApplyEntries();
    step.MergeFile();
    step.RegisterAppPath();
}

}  // namespace palisade
