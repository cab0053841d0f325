// The firewall lines of the settings: their parser, what each line asks
// for, the run-log texts and the "[Firewall]" record lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// One line "target;name;protocol bits;keep", fields trimmed of blanks.
struct FirewallLine {
    std::u16string target;    // a decimal port number or a program path (variables allowed)
    std::u16string name;      // shown in the firewall; empty: the product name
    std::u16string protocol;  // port lines: the protocol bits in decimal
    std::u16string keep;      // "1": the exception stays after uninstallation
};

// Lines are separated by CR, LF or both; blank lines are skipped. A line
// with other than four ";"-separated fields makes the whole text malformed
// (the step ends the run with fatal error 90 before changing anything).
struct FirewallParse {
    std::vector<FirewallLine> lines;
    bool malformed = false;
};
FirewallParse ParseFirewallRules(std::u16string_view text);

// The port of a port line: field 1 made of decimal digits only. A number
// outside 1..65535 is still a port line (its exceptions fail).
std::optional<std::uint32_t> PortNumberOf(const FirewallLine& line);
bool IsValidPort(std::uint32_t port);

// The protocol bits of field 3 (decimal; anything else counts as 0).
std::uint32_t ProtocolBitsOf(const FirewallLine& line);

// What a set bit opens: bit 0x1 TCP (IP protocol number 6), bit 0x2 UDP (17).
struct PortProtocol {
    std::uint32_t bit;
    std::int32_t ipProtocol;
    std::u16string_view word;  // as logged: "TCP" or "UDP"
};
std::vector<PortProtocol> ProtocolsFor(std::uint32_t bits);

// A program path after expansion: a relative path is taken relative to the
// installation folder.
std::u16string ResolveProgramPath(std::u16string_view expanded, std::u16string_view installFolder);

bool StaysAfterUninstall(const FirewallLine& line);

// The name shown in the firewall.
std::u16string ExceptionName(const FirewallLine& line, std::u16string_view productName);

// Run-log texts.
std::u16string ConnectFailedText(std::int32_t result);
std::u16string PortAddedText(std::u16string_view word, std::uint32_t port);
std::u16string PortFailedText(std::uint32_t port, std::int32_t result);
std::u16string ProgramMissingText(std::u16string_view path);
std::u16string ProgramFailedText(std::u16string_view path, std::int32_t result);
std::u16string ProgramAddedText(std::u16string_view path);

// The "[Firewall]" record of a line that succeeded: its four fields in
// UTF-8, the target replaced by `resolvedTarget` (the full program path, or
// the port number), ended by CR LF.
std::string FirewallRecordLine(const FirewallLine& line, std::u16string_view resolvedTarget);

}  // namespace palisade
