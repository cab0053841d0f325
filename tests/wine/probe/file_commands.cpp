// Probe commands for file installation: writing one file, holding a file open
// from another process, folders, rights, temporary names and the pending
// restart operations.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <map>
#include <optional>

#include "actions/pending_renames.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/folder_rights_win32.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "core/format.h"
#include "core/text.h"
#include "core/win32/file_system.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "payload/crc32.h"
#include "payload/item_stream_writer.h"
#include "payload/item_walker.h"
#include "payload/little_endian.h"
#include "payload/settings_flags.h"
#include "probe_commands.h"
#include "variables/install_context.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade::probe {
namespace {

std::u16string Wide(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// "--name=value" options after the positional arguments.
std::map<std::string, std::string> Options(const std::vector<std::string>& args, std::size_t from) {
    std::map<std::string, std::string> options;
    for (std::size_t i = from; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0) continue;
        std::size_t equals = args[i].find('=');
        options[args[i].substr(2, equals == std::string::npos ? std::string::npos : equals - 2)] =
            equals == std::string::npos ? "1" : args[i].substr(equals + 1);
    }
    return options;
}

// Reports nowhere and counts how often the windows were let repaint.
class CountingProgress final : public ProgressReporter {
public:
    void SetProgress(int) override {}
    void SetStatusMessage(int) override {}
    void SetStatusText(std::u16string_view) override {}
    bool PumpMessages() override { return false; }
    void KeepPainted() override { ++keptPainted; }

    int keptPainted = 0;
};

// An installation context of its own, with the few messages the file steps use.
struct ProbeInstallation {
    InstallerSettings settings;
    std::uint32_t payloadFlags = 0;
    InstallationState state;
    InstallLog log;
    InstallationRecord record;
    CountingProgress progress;
    InstallContext context{settings, payloadFlags, state, ProcessSystemFacts(), log, record, progress};

    ProbeInstallation() {
        settings.messageCatalogue = MessageCatalogue({u"English"}, 100);
        settings.messageCatalogue.SetText(25, 0, u"Cannot create folder");
        settings.messageCatalogue.SetText(31, 0, u"Failed to install");
        settings.messageCatalogue.SetText(54, 0, u"Installing");
    }

    std::string Report() const {
        return "--- runlog\n" + log.runLog.Bytes() + "--- failures\n" + Utf16ToUtf8(log.failures.Text());
    }
};

std::optional<FileTimeStamp> ParseStamp(const std::string& text) {
    FileTimeStamp stamp;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d,%d,%d", &stamp.year, &stamp.month, &stamp.day, &stamp.hour,
                    &stamp.minute, &stamp.second) != 6) {
        return std::nullopt;
    }
    return stamp;
}

// A one-item archive (one plain chunk) holding `data`, walked to its item,
// whose data is left to be streamed. With `damaged` one data byte differs
// from what the item's checksum says (the chunk's checksum still holds).
struct StreamedItem {
    std::vector<std::uint8_t> archive;
    PayloadHeader header;
    PayloadCipher cipher{header};
    std::optional<ItemWalker> walker;
    FileEntry entry;

    StreamedItem(const std::string& data, bool damaged) {
        PayloadItem item;
        item.name = "probe.bin";
        item.data.assign(data.begin(), data.end());
        std::vector<std::uint8_t> record = EncodeItemFields(item);
        record.insert(record.end(), item.data.begin(), item.data.end());
        AppendU32(record, Crc32(item.data));
        if (damaged) record[record.size() - 5] ^= 1;
        std::vector<std::uint8_t> stored;
        AppendU32(stored, std::uint32_t(record.size()));
        stored.insert(stored.end(), record.begin(), record.end());
        AppendU32(archive, std::uint32_t(stored.size()));
        AppendU32(archive, Crc32(stored));
        archive.insert(archive.end(), stored.begin(), stored.end());
        header.itemCount = 1;
        header.itemSizes = {std::int32_t(data.size())};
        walker.emplace(header, ByteView(archive), cipher, false);
        walker->StreamDataFrom(1);
        walker->Next(entry);
    }
};

// `write-file DEST TEXT [--stamp=Y,M,D,h,m,s] [--attributes=N] [--existed]
// [--flags1=N] [--streamed | --streamed-damaged]`: WriteInstalledFile with
// TEXT as the data ("~~" is CR LF), held in memory or streamed from an archive.
// Prints "written=W deferred=D flags1=HEX", then the run log and the
// failures, and for streamed data the code the run would end with and how
// often the windows were let repaint meanwhile.
int WriteFileCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 2) return 2;
    std::map<std::string, std::string> options = Options(args, 2);
    ProbeInstallation probe;
    probe.settings.settingsFlags1 = std::uint32_t(std::stoul(options.count("flags1") ? options["flags1"] : "0", nullptr, 0));
    std::string data = ReplaceAll(args[1], "~~", "\r\n");
    WriteRequest request;
    request.destination = Wide(args[0]);
    request.data = ByteView(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    if (options.count("stamp")) request.timeStamp = ParseStamp(options["stamp"]).value_or(FileTimeStamp{});
    if (options.count("attributes")) request.attributes = std::int32_t(std::stol(options["attributes"], nullptr, 0));
    request.existedBefore = options.count("existed") != 0;
    std::optional<StreamedItem> streamed;
    if (options.count("streamed") || options.count("streamed-damaged")) {
        streamed.emplace(data, options.count("streamed-damaged") != 0);
        if (!streamed->entry.IsStreamed()) return 3;
        request.data = ByteView();
        request.streamedFrom = &*streamed->walker;
        request.streamedSize = streamed->entry.streamedDataSize;
    }
    WriteOutcome outcome = WriteInstalledFile(request, probe.context);
    out = "written=" + std::to_string(outcome.written) + " deferred=" + std::to_string(outcome.deferred) +
          " flags1=" + Utf16ToUtf8(ToU16Hex(probe.settings.settingsFlags1, 1)) + "\n" + probe.Report();
    if (streamed) {
        out += "--- fatal\n" + std::to_string(outcome.fatalCode) + "\n--- painted\n" +
               std::to_string(probe.progress.keptPainted) + "\n";
    }
    return 0;
}

// `hold-open PATH SECONDS`: opens PATH for reading and writing, shared for
// reading only, creates PATH.held, and keeps the file open until PATH.release
// appears or SECONDS pass.
int HoldOpenCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    std::wstring path = ToWide(Wide(args[0]));
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        out = "cannot open " + std::to_string(::GetLastError()) + "\n";
        return 1;
    }
    HANDLE marker = ::CreateFileW((path + L".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    std::wstring release = path + L".release";
    for (int tenths = std::stoi(args[1]) * 10; tenths > 0; --tenths) {
        if (::GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
        ::Sleep(100);
    }
    ::CloseHandle(file);
    out = "released\n";
    return 0;
}

// `file-facts PATH`: what the overwrite rules would learn about PATH.
int FileFactsCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    std::u16string path = Wide(args[0]);
    std::optional<FileTimeStamp> stamp = ReadFileTimeStamp(path);
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    out = "exists=" + std::to_string(FileExists(path)) + "\nstamp=" + (stamp ? Utf16ToUtf8(Format(
              u"%d/%02d/%02d %02d:%02d:%02d", {stamp->year, stamp->month, stamp->day, stamp->hour, stamp->minute,
                                               stamp->second})) : "none") +
          "\nattributes=" + Utf16ToUtf8(ToU16Hex(attributes, 1)) + "\nversion=" + Utf16ToUtf8(ReadFileVersion(path)) +
          "\n";
    return 0;
}

// `create-folder PATH`: prints "ok" or "failed CODE".
int CreateFolderCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    Win32Status made = CreateFolderPath(Wide(args[0]));
    out = made.ok() ? "ok\n" : "failed " + std::to_string(made.code()) + "\n";
    return 0;
}

// `short-path PATH`: the path's short (8.3) form.
int ShortPathCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    out = Utf16ToUtf8(ShortPathOf(Wide(args[0]))) + "\n";
    return 0;
}

// `access-list PATH`: the path's access list in the system's SDDL notation.
int AccessListCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD status = ::GetNamedSecurityInfoW(ToWide(Wide(args[0])).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                           nullptr, nullptr, nullptr, nullptr, &descriptor);
    if (status != ERROR_SUCCESS) {
        out = "failed " + std::to_string(status) + "\n";
        return 0;
    }
    UniqueLocal owned(descriptor);
    wchar_t* text = nullptr;
    if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                                &text, nullptr)) {
        out = "unconvertible\n";
        return 0;
    }
    UniqueLocal ownedText(text);
    out = Utf16ToUtf8(FromWide(text)) + "\n";
    return 0;
}

// `grant-rights FOLDER`: GrantFolderRights with the setting on; prints the run log.
int GrantRightsCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    ProbeInstallation probe;
    probe.settings.settingsFlags2 = Flags2::kGrantFolderRights;
    GrantFolderRights(Wide(args[0]), probe.context);
    out = probe.log.runLog.Bytes();
    return 0;
}

// `make-temp FOLDER EXTENSION [--stay]`: prints the name made (or nothing).
int MakeTempCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 2) return 2;
    bool stay = Options(args, 2).count("stay") != 0;
    out = Utf16ToUtf8(MakeTempFileName(Wide(args[0]), Wide(args[1]), stay ? kTempNameStayInFolder : 0).value_or({})) +
          "\n";
    return 0;
}

// `schedule-move SOURCE DEST`: ScheduleReplaceAtReboot; an empty DEST asks
// the system directly for a deletion at restart. Prints "ok" or "failed CODE".
int ScheduleMoveCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    Win32Status done = args[1].empty() ? ScheduleDeleteAtReboot(Wide(args[0]))
                                       : ScheduleReplaceAtReboot(Wide(args[0]), Wide(args[1]));
    out = done.ok() ? "ok\n" : "failed " + std::to_string(done.code()) + "\n";
    return 0;
}

// `cancel-pending INSTALLED...`: CancelPendingOperations for these installed
// files; prints the run log.
int CancelPendingCommand(const std::vector<std::string>& args, std::string& out) {
    PathSet installed;
    for (const std::string& path : args) installed.Insert(Wide(path));
    RunLog log;
    CancelPendingOperations(installed, &log);
    out = log.Bytes();
    return 0;
}

// `pending-list`: the strings of the pending restart operations, one a line
// ("<>" for an empty one).
int PendingListCommand(const std::vector<std::string>&, std::string& out) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                        &key) != ERROR_SUCCESS) {
        return 1;
    }
    DWORD size = 0;
    DWORD type = 0;
    std::u16string data;
    if (::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size / 2 + 1);
        ::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size / 2);
    }
    ::RegCloseKey(key);
    for (const std::u16string& text : SplitMultiString(data)) out += (text.empty() ? "<>" : Utf16ToUtf8(text)) + "\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("pending-list", PendingListCommand);
PALISADE_PROBE_COMMAND("write-file", WriteFileCommand);
PALISADE_PROBE_COMMAND("hold-open", HoldOpenCommand);

// `reaches-through PATH FOLDER`: 1 when PATH or a folder on its way below
// FOLDER is a reparse point, else 0.
int ReachesThroughCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    out = ReachesThroughReparsePoint(Utf8ToUtf16(args[0]), Utf8ToUtf16(args[1])) ? "1" : "0";
    return 0;
}
PALISADE_PROBE_COMMAND("reaches-through", ReachesThroughCommand);
PALISADE_PROBE_COMMAND("file-facts", FileFactsCommand);
PALISADE_PROBE_COMMAND("create-folder", CreateFolderCommand);
PALISADE_PROBE_COMMAND("short-path", ShortPathCommand);
PALISADE_PROBE_COMMAND("access-list", AccessListCommand);
PALISADE_PROBE_COMMAND("grant-rights", GrantRightsCommand);
PALISADE_PROBE_COMMAND("make-temp", MakeTempCommand);
PALISADE_PROBE_COMMAND("schedule-move", ScheduleMoveCommand);
PALISADE_PROBE_COMMAND("cancel-pending", CancelPendingCommand);

}  // namespace palisade::probe
