// The product key: every value of the plan, the author's values in their own
// keys, and the read-back check of the uninstall command.
#include "uninstall/win32/product_key_win32.h"

#include <windows.h>

#include <optional>

#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "startup/win32/fatal.h"

namespace palisade {
namespace {

constexpr REGSAM kView32 = KEY_WOW64_32KEY;

HKEY RootHandle(RegistryRootId root) {
    switch (root) {
        case RegistryRootId::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegistryRootId::CurrentUser: return HKEY_CURRENT_USER;
        case RegistryRootId::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RegistryRootId::Users: return HKEY_USERS;
        case RegistryRootId::CurrentConfig: return HKEY_CURRENT_CONFIG;
        case RegistryRootId::DynData: return HKEY_DYN_DATA;
    }
    return HKEY_LOCAL_MACHINE;
}

LSTATUS SetText(HKEY key, const std::wstring& name, DWORD type, const std::u16string& text) {
    DWORD bytes = DWORD((text.size() + 1) * sizeof(char16_t));
    return ::RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

// 0 on success; deleting a value that is not there is no failure.
LSTATUS WriteValue(HKEY key, const ProductKeyValue& value) {
    std::wstring name = ToWide(value.name);
    switch (value.kind) {
        case ProductValueKind::Text: return SetText(key, name, REG_SZ, value.text);
        case ProductValueKind::ExpandText: return SetText(key, name, REG_EXPAND_SZ, value.text);
        case ProductValueKind::Dword: {
            DWORD number = DWORD(value.number);
            return ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
        }
        case ProductValueKind::Qword: {
            std::uint64_t number = value.number;
            return ::RegSetValueExW(key, name.c_str(), 0, REG_QWORD, reinterpret_cast<const BYTE*>(&number), 8);
        }
        case ProductValueKind::Delete: {
            LSTATUS status = ::RegDeleteValueW(key, name.c_str());
            return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
        }
    }
    return ERROR_INVALID_PARAMETER;
}

// An author's value with its own key: the key is created and recorded so
// that the uninstaller removes it.
LSTATUS WriteInOtherKey(InstallContext& context, const ProductKeyValue& value) {
    if (value.unknownRoot) return ERROR_BAD_PATHNAME;
    HKEY created = nullptr;
    std::wstring subKey = ToWide(value.otherKey->subKey);
    LSTATUS status = ::RegCreateKeyExW(RootHandle(value.otherKey->root), subKey.c_str(), 0, nullptr, 0,
                                       KEY_READ | KEY_WRITE | kView32, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) return status;
    UniqueHkey key(created);
    std::u16string& registry2 = context.record.registry2;
    if (!registry2.empty() && registry2.back() != u'\n') registry2 += u"\r\n";
    registry2 += Registry2KeyLine(*value.otherKey);
    return WriteValue(key.get(), value);
}

void WriteAllValues(InstallContext& context, HKEY productKey, const std::vector<ProductKeyValue>& values) {
    for (const ProductKeyValue& value : values) {
        bool otherKey = value.otherKey.has_value() || value.unknownRoot;
        LSTATUS status = otherKey ? WriteInOtherKey(context, value) : WriteValue(productKey, value);
        // Only the author's values are reported one by one; the table's values
        // are covered by the read-back check.
        if (status != ERROR_SUCCESS && !value.authorName.empty()) {
            context.log.failures.Append(AuthorValueFailureText(value.authorName, SystemErrorText(std::uint32_t(status))));
        }
    }
}

// nullopt when "UninstallString" reads back as written; otherwise the system
// error, or 0 when the value differs (there is no system text for that).
std::optional<std::uint32_t> CheckUninstallString(const std::wstring& keyPath, const std::u16string& expected) {
    HKEY opened = nullptr;
    LSTATUS status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | kView32, &opened);
    if (status != ERROR_SUCCESS) return std::uint32_t(status);
    UniqueHkey key(opened);
    std::u16string buffer(expected.size() + 2, u'\0');
    DWORD type = 0;
    DWORD bytes = DWORD(buffer.size() * sizeof(char16_t));
    status = ::RegQueryValueExW(key.get(), L"UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &bytes);
    if (status == ERROR_MORE_DATA) return 0u;  // longer than written
    if (status != ERROR_SUCCESS) return std::uint32_t(status);
    buffer.resize(bytes / sizeof(char16_t));
    while (!buffer.empty() && buffer.back() == u'\0') buffer.pop_back();
    if (type == REG_SZ && buffer == expected) return std::nullopt;
    return 0u;
}

void ReportUnsaved(InstallContext& context, std::uint32_t error) {
    std::u16string text;
    std::u16string systemText = error ? SystemErrorText(error) : std::u16string();
    if (!systemText.empty()) text = u"System error: " + systemText + u"\r\n";
    text += u"Unable to save the uninstall information to the registry.  Uninstall will not work properly.\r\n\r\n";
    context.log.failures.Append(text);
}

}  // namespace

void WriteProductKey(InstallContext& context, const ProductKeyFacts& facts) {
    ProductKeyPlan plan = PlanProductKeyValues(context.settings, context.payloadFlags, context.state, context.record,
                                               facts, [&](std::u16string_view text) { return context.Expand(text); });
    if (plan.badAuthorType) FatalError(200);
    std::wstring keyPath = ToWide(ProductKeyPath(context.settings));
    HKEY created = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | kView32,
                                       nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) {
        ReportUnsaved(context, std::uint32_t(status));
        return;
    }
    UniqueHkey key(created);
    WriteAllValues(context, key.get(), plan.values);
    key.reset();
    if (auto error = CheckUninstallString(keyPath, plan.values.front().text)) ReportUnsaved(context, *error);
}

}  // namespace palisade
