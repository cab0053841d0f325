// The installation action that adds the product's registry key, the author's registry entries, the merge file and App Paths.
#include "actions/win32/registry_entries_win32.h"

#include <windows.h>

#include <optional>

#include "actions/registry_entry_lines.h"
#include "actions/system_path_edit.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "actions/win32/registry_access_win32.h"
#include "actions/win32/user_hives_win32.h"
#include "core/format.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

constexpr int kRegistryStatusMessage = 78;
constexpr int kRegistryProgress = 97;
constexpr char16_t kAppPathsKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

std::u16string ErrorText(LSTATUS status) { return SystemErrorText(std::uint32_t(status)); }

// Where one line acts: one root, or every user's hive for "HKAU".
struct Target {
    HKEY root;
    std::u16string notation;  // "\HKLM", "\HKCU", "\HKU\<sid>"
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
    void CreateKeyLine(const RegistryEntryLine& line);
    void DeleteValueLine(const RegistryEntryLine& line);
    void WriteValueLine(const RegistryEntryLine& line);
    void LogKeyFailure(const Target& target, const std::u16string& subKey, LSTATUS status);

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
    LSTATUS failure = ERROR_SUCCESS;
    std::vector<Target> targets = TargetsOf(KeyRoot::AllUsers);
    targets.push_back({HKEY_LOCAL_MACHINE, u"\\HKLM"});
    for (const Target& target : targets) {
        KeyResult key = CreateRegistryKey(target.root, subKey);
        if (key.status != ERROR_SUCCESS && failure == ERROR_SUCCESS) failure = key.status;
    }
    if (failure == ERROR_SUCCESS) return;
    m_context.log.failures.Append(Format(u"Error creating registry keys at \\Software\\%s\r\nCode %d: %s\r\n\r\n",
                                         {name, long(failure), ErrorText(failure)}));
}

void RegistryStep::LogKeyFailure(const Target& target, const std::u16string& subKey, LSTATUS status) {
    std::u16string key = subKey.empty() ? target.notation : target.notation + u"\\" + subKey;
    m_context.log.runLog.AppendWidePieces({u"Failed to create registry key: ", key, u"\r\n", ErrorText(status), u"\r\n"});
}

void RegistryStep::CreateKeyLine(const RegistryEntryLine& line) {
    for (const Target& target : TargetsOf(line.key.root)) {
        KeyResult key = CreateRegistryKey(target.root, line.key.subKey);
        if (key.status != ERROR_SUCCESS) LogKeyFailure(target, line.key.subKey, key.status);
    }
}

void RegistryStep::DeleteValueLine(const RegistryEntryLine& line) {
    for (const Target& target : TargetsOf(line.key.root)) {
        // A key that cannot be opened holds no value to delete.
        KeyResult key = OpenRegistryKey(target.root, line.key.subKey, KEY_SET_VALUE);
        if (key.key) DeleteRegistryValue(key.key.get(), line.valueName);
    }
}

void RegistryStep::WriteValueLine(const RegistryEntryLine& line) {
    std::u16string expanded = line.type == kRegSz ? m_context.Expand(line.data) : std::u16string();
    std::vector<std::uint8_t> bytes = EntryValueBytes(line, expanded);
    for (const Target& target : TargetsOf(line.key.root)) {
        KeyResult key = CreateRegistryKey(target.root, line.key.subKey);
        if (key.status != ERROR_SUCCESS) {
            LogKeyFailure(target, line.key.subKey, key.status);
            continue;
        }
        if (OperationKeepsExisting(line.operation) && RegistryValueExists(key.key.get(), line.valueName)) continue;
        LSTATUS status = SetRegistryValue(key.key.get(), line.valueName, DWORD(line.type), bytes);
        if (status != ERROR_SUCCESS) {
            m_context.log.runLog.AppendWidePieces(
                {u"Failed to create registry value \"", line.valueName, u"\": ", ErrorText(status), u"\r\n"});
        }
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
            case RegistryLineKind::Key: CreateKeyLine(line); break;
            case RegistryLineKind::Value:
                if (OperationDeletes(line.operation)) DeleteValueLine(line);
                if (OperationWrites(line.operation)) WriteValueLine(line);
                break;
        }
    }
    // The uninstaller reads the lines again; later records go on new lines.
    std::u16string& record = m_context.record.registry2;
    if (!record.empty() && record.back() != u'\n') record += u"\r\n";
    record += text;
    if (record.back() != u'\n') record += u"\r\n";
}

// 0 when every byte was written, else the system error.
DWORD WriteWholeFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE raw = ::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
    if (raw == INVALID_HANDLE_VALUE) return ::GetLastError();
    UniqueFileHandle file(raw);
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr)) return ::GetLastError();
    return written == bytes.size() ? 0 : DWORD(ERROR_WRITE_FAULT);
}

void RegistryStep::MergeFile() {
    const std::vector<std::uint8_t>& text = m_context.settings.registryMerge;
    if (text.empty()) return;
    std::u16string file = MakeTempFileName(u"", u"reg", 0);
    DWORD error = file.empty() ? ::GetLastError() : WriteWholeFile(file, text);
    if (file.empty() || error != 0) {
        if (error == 0) error = ERROR_CANNOT_MAKE;
        m_context.log.failures.Append(u"Failed to create the registry merge file: " + ErrorText(LSTATUS(error)) + u"\r\n");
        return;
    }
    m_context.log.runLog.AppendNarrow("Merging registry file...");
    std::wstring command = L"regedit /s \"" + ToWide(file) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        m_context.log.runLog.AppendNarrow("OK\r\n");
        return;
    }
    std::u16string reason = ErrorText(LSTATUS(::GetLastError()));
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
    KeyResult key = CreateRegistryKey(HKEY_LOCAL_MACHINE, subKey);
    if (key.status != ERROR_SUCCESS) {
        log.AppendWidePieces({u"FAILED to create \"", subKey, u"\": ", ErrorText(key.status), u"\r\n"});
        return;
    }
    if (!key.created) {
        log.AppendNarrow("a registration already exists\r\n");
        return;
    }
    m_context.record.uninstallItems.Record(u"\\HKLM\\" + subKey, UninstallItemType::RegistryKey);
    LSTATUS status = SetRegistryText(key.key.get(), u"", path);
    if (status == ERROR_SUCCESS) status = SetRegistryText(key.key.get(), u"Path", folder);
    if (status == ERROR_SUCCESS) {
        log.AppendNarrow("OK\r\n");
    } else {
        log.AppendWidePieces({u"FAILED to create value: ", ErrorText(status), u"\r\n"});
    }
}

}  // namespace

void WriteRegistryEntries(InstallContext& context) {
    if (context.state.portable && context.Payload(PayloadBits::kPortableNoRegistry)) return;
    context.progress.SetStatusMessage(kRegistryStatusMessage);
    context.progress.SetProgress(kRegistryProgress);
    RegistryStep step(context);
    step.CreateProductKey();
    step.ApplyEntries();
    step.MergeFile();
    step.RegisterAppPath();
}

}  // namespace palisade
