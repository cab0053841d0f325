// The `[crash_report]` table of a project file: where the installer's crash
// reports go, written into the stub's vendor record.
#include "builder/project_sections.h"
#include "common/project_keys.h"
#include "core/http_request.h"

namespace palisade::tools {

void ReadCrashReport(TomlReader& reader, const toml::table& table, VendorValues& values) {
    reader.CheckKnownKeys(table, KeyNames(MembersOf("crash_report")), "[crash_report]");
    if (auto name = reader.String(table, "short_name")) values.shortName = *name;
    if (auto sender = reader.String(table, "sender")) values.senderAddress = *sender;
    if (auto header = reader.String(table, "header")) {
        if (header->find_first_of("\r\n") != std::string::npos) {
            reader.Error(*table.get("header"), "'header' is one header line: it cannot hold a line break");
        }
        values.privateHeader = *header;
    }
    if (auto endpoint = reader.String(table, "endpoint")) {
        if (!endpoint->empty() && !ParseHttpAddress(*endpoint)) {
            reader.Error(*table.get("endpoint"), "'endpoint' must be an http: or https: address");
        }
        values.reportEndpoint = *endpoint;
    }
    if (!EncodeVendorRecord(values)) {
        reader.Error(table, "the [crash_report] values take more than " + std::to_string(kVendorRecordSize - 24) +
                                " bytes");
    }
}

}  // namespace palisade::tools
