// Reads and trims the product's entry in the list of installed programs.
#include "uninstall/win32/uninstall_entry_win32.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "core/win32/registry.h"
#include "core/win32/wide.h"
#include "uninstall/product_key_values.h"
#include "uninstall/removal_rules.h"

namespace palisade {
namespace {

constexpr REGSAM kView32 = KEY_WOW64_32KEY;

std::u16string EntryPath(std::u16string_view name) {
    return std::u16string(kInstalledProgramsKey) + u"\\" + std::u16string(name);
}

std::u16string Text(HKEY key, const wchar_t* name) {
    return ReadRegistryText(key, FromWide(name)).value_or(u"");
}

std::optional<std::uint64_t> QueryNumber(HKEY key, const wchar_t* name) {
    Win32Result<RegistryValue> value = ReadRegistryValue(key, FromWide(name));
    if (!value.ok()) return std::nullopt;
    const std::vector<std::uint8_t>& bytes = value->bytes;
    std::size_t width = value->type == REG_DWORD ? 4 : value->type == REG_QWORD ? 8 : 0;
    if (width == 0 || bytes.size() != width) return std::nullopt;
    std::uint64_t number = 0;
    for (std::size_t i = width; i-- > 0;) number = (number << 8) | bytes[i];
    return number;
}

void ReadOtherValues(HKEY key, UninstallEntry& entry) {
    ProductFlagWords flags = ParseProductFlags(Text(key, L"ProductFlags"));
    entry.flags1 = flags.flags1;
    entry.flags2 = flags.flags2;
    entry.payloadFlags = ParseUnsignedDecimal(Text(key, L"ProductFlags2"));
    entry.bitness = std::uint32_t(QueryNumber(key, L"Bitness").value_or(0));
    entry.displayVersion = Text(key, L"DisplayVersion");
    entry.uninstallString = Text(key, L"UninstallString");
    entry.uninstallDataHash = ReadRegistryText(key, kUninstallDataHashValue).value_or(u"");
    entry.uninstallSubdir = Text(key, L"UninstallSubdir");
    entry.addToPathSubfolder = Text(key, L"AddToPathSubfolder");
    entry.productFonts = Text(key, L"ProductFonts");
    entry.uninstallFonts = std::uint32_t(QueryNumber(key, L"UninstallFonts").value_or(2));
    entry.shortcutMode = std::uint32_t(QueryNumber(key, L"ShortcutMode").value_or(0));
    entry.notifyUrl = Text(key, L"NotifyURL");
    if (std::optional<std::uint64_t> session = QueryNumber(key, L"Session")) {
        entry.session = std::int64_t(*session);
    } else {
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);  // a new run number
        entry.session = std::int64_t(((std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime) >> 1);
    }
    entry.desktopFolder = Text(key, L"DesktopFolder");
    entry.supportOffer = Text(key, L"SupportOffer");
    entry.sharedPath = Text(key, L"SharedPath");
    entry.productStartMenu = Text(key, L"ProductStartMenu");
    entry.uninstallBatch1 = Text(key, L"UninstallBatch1");
    entry.sharedFiles = Text(key, L"SharedFiles");
    entry.productRegistry = Text(key, L"ProductRegistry");
    entry.uninstallBatch2 = Text(key, L"UninstallBatch2");
}

}  // namespace

std::u16string UninstallEntry::UninstallDataFolder() const {
    std::u16string folder = installLocation;
    while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
    std::u16string_view sub = uninstallSubdir;
    while (!sub.empty() && sub.front() == u'\\') sub.remove_prefix(1);
    if (sub.empty()) return folder;
    return folder + u"\\" + std::u16string(sub);
}

EntryReading ReadProductEntry(std::u16string_view name) {
    EntryReading reading;
    reading.entry.keyName = std::u16string(name);
    Win32Result<UniqueHkey> opened = TryOpenKey(HKEY_LOCAL_MACHINE, EntryPath(name), KEY_READ | kView32);
    if (!opened.ok()) {
        reading.status = opened.code() == ERROR_FILE_NOT_FOUND ? EntryStatus::Missing : EntryStatus::Unreadable;
        return reading;
    }
    const UniqueHkey& key = *opened;
    Win32Result<std::u16string> displayName = ReadRegistryText(key.get(), u"DisplayName");
    Win32Result<std::u16string> location = ReadRegistryText(key.get(), u"InstallLocation");
    if (!displayName.ok() || !location.ok() || location->empty()) {
        reading.status = EntryStatus::Corrupt;
        return reading;
    }
    reading.entry.displayName = *displayName;
    reading.entry.installLocation = *location;
    ReadOtherValues(key.get(), reading.entry);
    reading.status = EntryStatus::Ok;
    return reading;
}

bool DeleteProductEntryValue(std::u16string_view name, std::u16string_view value) {
    Win32Result<UniqueHkey> key = TryOpenKey(HKEY_LOCAL_MACHINE, EntryPath(name), KEY_SET_VALUE | kView32);
    return key.ok() && DeleteRegistryValue(key->get(), value).ok();
}

bool DeleteProductEntry(std::u16string_view name) {
    Win32Result<UniqueHkey> parent = TryOpenKey(HKEY_LOCAL_MACHINE, kInstalledProgramsKey, KEY_READ | KEY_WRITE | kView32);
    if (!parent.ok()) return false;
    const UniqueHkey& key = *parent;
    std::wstring child = ToWide(name);
    LSTATUS status = ::RegDeleteTreeW(key.get(), child.c_str());
    if (status == ERROR_SUCCESS) status = ::RegDeleteKeyW(key.get(), child.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace palisade
