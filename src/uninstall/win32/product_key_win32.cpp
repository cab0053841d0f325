// The product key: every value of the plan, the author's values in their own
// keys, and the read-back check of the uninstall command.
#include "uninstall/win32/product_key_win32.h"

#include <windows.h>

#include <optional>

#include "actions/registry_record.h"
#include "actions/win32/registry_roots_win32.h"
#include "core/fatal_codes.h"
#include "core/win32/registry.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr REGSAM kView32 = KEY_WOW64_32KEY;

// Deleting a value that is not there is no failure.
Win32Status WriteValue(HKEY key, const ProductKeyValue& value) {
    switch (value.kind) {
        case ProductValueKind::Text: return SetRegistryText(key, value.name, value.text, REG_SZ);
        case ProductValueKind::ExpandText: return SetRegistryText(key, value.name, value.text, REG_EXPAND_SZ);
        case ProductValueKind::Dword: return SetRegistryDword(key, value.name, std::uint32_t(value.number));
        case ProductValueKind::Qword: {
            std::vector<std::uint8_t> bytes(8);
            for (int i = 0; i < 8; ++i) bytes[i] = std::uint8_t(value.number >> (8 * i));
            return SetRegistryValue(key, value.name, REG_QWORD, bytes);
        }
        case ProductValueKind::Delete: return DeleteRegistryValue(key, value.name);
    }
    return Win32Status(ERROR_INVALID_PARAMETER);
}

// An author's value with its own key. The uninstaller removes what this
// wrote: the keys it created, or else the value alone (a key such as
// "...\CurrentVersion\Run" was there before and stays).
Win32Status WriteInOtherKey(InstallContext& context, const ProductKeyValue& value) {
    if (value.unknownRoot) return Win32Status(ERROR_BAD_PATHNAME);
    const RegistryPath& where = *value.otherKey;
    Win32Result<CreatedKey> key = CreateKey(KeyRootHandle(where.root), where.subKey, KEY_READ | KEY_WRITE | kView32);
    if (!key.ok()) return key.status();
    Win32Status written = WriteValue(key->key.get(), value);
    std::u16string& record = context.record.registry2;
    if (key->created) {
        AppendRecordLine(record, KeyRecordLine({where.root, key->firstCreated}));
    } else if (written.ok() && value.kind != ProductValueKind::Delete) {
        AppendRecordLine(record, ValueRecordLine(where, value.name));
    }
    return written;
}

bool InOtherKey(const ProductKeyValue& value) { return value.otherKey.has_value() || value.unknownRoot; }

// Only the author's values are reported one by one; the table's values are
// covered by the read-back check.
void ReportAuthorValueFailure(InstallContext& context, const ProductKeyValue& value, Win32Status status) {
    if (status.failed() && !value.authorName.empty()) {
        context.log.failures.Append(AuthorValueFailureText(value.authorName, SystemErrorText(status.code())));
    }
}

// nullopt when "UninstallString" reads back as written; otherwise the system
// error, or 0 when the value differs (there is no system text for that).
std::optional<std::uint32_t> CheckUninstallString(const std::u16string& keyPath, const std::u16string& expected) {
    Win32Result<std::u16string> stored =
        ReadRegistryText(HKEY_LOCAL_MACHINE, keyPath, u"UninstallString", kView32);
    if (stored.ok()) return *stored == expected ? std::nullopt : std::optional<std::uint32_t>(0u);
    // A value of another type differs; there is no system text for that.
    return stored.code() == ERROR_UNSUPPORTED_TYPE ? 0u : stored.code();
}

void ReportUnsaved(InstallContext& context, std::uint32_t error) {
    std::u16string text;
    std::u16string systemText = error ? SystemErrorText(error) : std::u16string();
    if (!systemText.empty()) text = u"System error: " + systemText + u"\r\n";
    text += u"Unable to save the uninstall information to the registry.  Uninstall will not work properly.\r\n\r\n";
    context.log.failures.Append(text);
}

}  // namespace

void WriteValuesInOtherKeys(InstallContext& context, const std::vector<ProductKeyValue>& values) {
    for (const ProductKeyValue& value : values) {
        if (InOtherKey(value)) ReportAuthorValueFailure(context, value, WriteInOtherKey(context, value));
    }
}

void WriteProductKeyValues(InstallContext& context, const std::vector<ProductKeyValue>& values) {
    std::u16string keyPath = ProductKeyPath(context.settings);
    Win32Result<CreatedKey> key = CreateKey(HKEY_LOCAL_MACHINE, keyPath, KEY_READ | KEY_WRITE | kView32);
    if (!key.ok()) {
        ReportUnsaved(context, key.code());
        return;
    }
    for (const ProductKeyValue& value : values) {
        if (!InOtherKey(value)) ReportAuthorValueFailure(context, value, WriteValue(key->key.get(), value));
    }
    key->key.reset();
    if (auto error = CheckUninstallString(keyPath, values.front().text)) ReportUnsaved(context, *error);
}

}  // namespace palisade
