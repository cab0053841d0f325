// Removes the registry keys and values the installation recorded.
#include "uninstall/win32/registry_undo_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "actions/association_plan.h"
#include "actions/registry_entry_lines.h"
#include "actions/registry_path.h"
#include "actions/win32/registry_roots_win32.h"
#include "actions/win32/user_hives_win32.h"
#include "core/text.h"
#include "core/win32/registry.h"
#include "core/win32/wide.h"
#include "uninstall/removal_rules.h"

namespace palisade {
namespace {

bool DeleteTree(HKEY parent, std::u16string_view subKey) {
    std::wstring name = ToWide(subKey);
    LSTATUS status = ::RegDeleteTreeW(parent, name.c_str());
    if (status == ERROR_SUCCESS) status = ::RegDeleteKeyW(parent, name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool KeyIsEmpty(HKEY key) {
    DWORD subKeys = 0;
    DWORD values = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                           nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return subKeys == 0 && values == 0;
}

bool DeleteIfEmpty(HKEY parent, std::u16string_view subKey) {
    Win32Result<UniqueHkey> opened = TryOpenKey(parent, subKey, KEY_READ);
    if (!opened.ok()) return opened.code() == ERROR_FILE_NOT_FOUND;
    if (!KeyIsEmpty(opened->get())) return false;
    opened->reset();
    return ::RegDeleteKeyW(parent, ToWide(subKey).c_str()) == ERROR_SUCCESS;
}

// The hives a path of `root` stands for: every user's for "HKAU".
template <typename Action>
void ForEachHive(KeyRoot root, Action action) {
    if (root != KeyRoot::AllUsers) {
        action(KeyRootHandle(root));
        return;
    }
    UserHives hives;
    for (const UserHive& hive : hives.Hives()) action(hive.root);
}

class HiveKeyRemover final : public KeyRemover {
public:
    explicit HiveKeyRemover(HKEY root) : m_root(root) {}
    bool DeleteTree(std::u16string_view subKey) override { return palisade::DeleteTree(m_root, subKey); }
    bool DeleteIfEmpty(std::u16string_view subKey) override { return palisade::DeleteIfEmpty(m_root, subKey); }

private:
    HKEY m_root;
};

// A value the installation wrote into a key that was there before: the
// value goes, the key stays (keys it created have lines of their own).
void UndoValueLine(const RegistryEntryLine& line) {
    if (!OperationIsUndone(line.operation)) return;
    ForEachHive(line.key.root, [&](HKEY root) {
        Win32Result<UniqueHkey> opened = TryOpenKey(root, line.key.subKey, KEY_SET_VALUE);
        if (opened.ok()) (void)DeleteRegistryValue(opened->get(), line.valueName);
    });
}

// Gives a default value back from "<product> Backup", or removes it.
// True when the key held a backup (so it stays).
bool RestoreDefault(HKEY parent, std::u16string_view subKey, std::u16string_view backupName,
                    std::u16string_view onlyIfEqualTo = {}) {
    Win32Result<UniqueHkey> opened = TryOpenKey(parent, subKey, KEY_READ | KEY_SET_VALUE);
    if (!opened.ok()) return false;
    HKEY key = opened->get();
    Win32Result<std::u16string> current = ReadRegistryText(key, u"");
    if (!onlyIfEqualTo.empty() && (!current.ok() || !EqualsIgnoreCase(*current, onlyIfEqualTo))) return false;
    // Removal is best effort: what cannot be put back stays as it is.
    if (Win32Result<std::u16string> backup = ReadRegistryText(key, backupName); backup.ok()) {
        if (SetRegistryText(key, u"", *backup).ok()) (void)DeleteRegistryValue(key, backupName);
        return true;
    }
    (void)DeleteRegistryValue(key, u"");
    return false;
}

void RemoveAssociation(const AssociationRecord& record, std::u16string_view productName) {
    if (record.extension.empty() || record.progId.empty()) return;
    HKEY classes = HKEY_CLASSES_ROOT;
    std::u16string progIdKey = ProgIdKeyName(record.progId);
    std::u16string backupName = BackupValueName(productName);
    std::u16string openWith = record.extension + u"\\OpenWithProgids";
    if (Win32Result<UniqueHkey> opened = TryOpenKey(classes, openWith, KEY_READ | KEY_SET_VALUE); opened.ok()) {
        (void)DeleteRegistryValue(opened->get(), progIdKey);
        (void)DeleteRegistryValue(opened->get(), record.progId);
    }
    DeleteIfEmpty(classes, openWith);
    if (progIdKey.empty() || progIdKey.find(u'\\') != std::u16string::npos) return;

    std::u16string verbKey = progIdKey + u"\\shell\\" + record.verb;
    if (!record.verb.empty()) {
        bool commandKept = RestoreDefault(classes, verbKey + u"\\command", backupName);
        bool verbKept = RestoreDefault(classes, verbKey, backupName);
        if (!commandKept && !verbKept) DeleteTree(classes, verbKey);
    }
    if (!RestoreDefault(classes, progIdKey + u"\\DefaultIcon", backupName)) DeleteTree(classes, progIdKey + u"\\DefaultIcon");
    RestoreDefault(classes, progIdKey + u"\\shell", backupName, record.verb);
    DeleteIfEmpty(classes, progIdKey + u"\\shell");
    // The description the ProgID had before comes back, also when the key
    // keeps sub-keys of its own (another program's verbs); a ProgID without
    // a backup loses the description and goes when nothing else is left.
    if (!RestoreDefault(classes, progIdKey, backupName)) DeleteIfEmpty(classes, progIdKey);
    if (SetsExtensionDefault(record.progId)) RestoreDefault(classes, record.extension, backupName, progIdKey);
    DeleteIfEmpty(classes, record.extension);
}

}  // namespace

void DeleteRecordedKey(std::u16string_view notation) {
    std::optional<RegistryPath> key = ParseRegistryPath(notation);
    if (!key || !IsDeletableKey(*key)) return;
    ForEachHive(key->root, [&](HKEY root) { DeleteTree(root, key->subKey); });
}

void UndoRegistryEntries(const std::vector<std::string>& lines) {
    for (const std::string& text : lines) {
        RegistryEntryLine line = ParseEntryLine(Utf8ToUtf16(text));
        if (line.kind == RegistryLineKind::Key) {
            if (!IsDeletableKey(line.key)) continue;
            ForEachHive(line.key.root, [&](HKEY root) { DeleteTree(root, line.key.subKey); });
        } else if (line.kind == RegistryLineKind::Value) {
            UndoValueLine(line);
        }
    }
}

void RemoveAssociations(const std::vector<std::string>& lines, std::u16string_view productName) {
    if (lines.empty()) return;
    for (const std::string& line : lines) RemoveAssociation(ParseAssociationRecord(line), productName);
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void RemoveProductRegistryKey(std::u16string_view productRegistry) {
    if (productRegistry.empty()) return;
    HiveKeyRemover machine(HKEY_LOCAL_MACHINE);
    RemoveKeyChain(machine, productRegistry);
    UserHives hives;
    for (const UserHive& hive : hives.Hives()) {
        HiveKeyRemover user(hive.root);
        RemoveKeyChain(user, productRegistry);
    }
}

}  // namespace palisade
