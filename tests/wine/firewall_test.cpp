// Firewall exceptions added by silent installations under Wine. Wine's
// firewall objects accept every call and keep nothing, so the checks are on
// the run log and on the "[Firewall]" record of Uninstall.DAT.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "install_support.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string FirewallSection(const std::string& data) {
    std::size_t at = data.find("\r\n\r\n[Firewall]\r\n");
    if (at == std::string::npos) return "";
    std::size_t begin = at + 16;
    std::size_t next = data.find("\r\n\r\n[", begin);
    return data.substr(begin, next == std::string::npos ? std::string::npos : next - begin);
}

TEST(FirewallExceptions, PortsProgramsAndWhatIsRecorded) {
    TestProduct product = MakeProduct("Firewall Rules");
    product.items.push_back(FileItem("server.exe", "server\r\n", u"bin\\"));
    product.settings.firewallRules =
        u"8080;Web;3;\r\n"               // both protocols
        u"bin\\server.exe;Server;;\r\n"  // a program, relative to the installation folder
        u"missing.exe;;;\r\n"            // a program that was not installed
        u"9090;;2;1\r\n"                 // stays after uninstallation
        u"%InstallDir%\\bin\\server.exe;;;1\r\n";
    RunResult run = InstallSilently(WriteInstaller(product, "firewall-rules.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    const std::string folder = InstallFolderOf("Firewall Rules");
    std::string log = InstallLogOf("Firewall Rules");
    EXPECT_THAT(log, HasSubstr("Added firewall exception: TCP port 8080\r\n"));
    EXPECT_THAT(log, HasSubstr("Added firewall exception: UDP port 8080\r\n"));
    EXPECT_THAT(log, HasSubstr("Added firewall exception: " + folder + "\\bin\\server.exe\r\n"));
    EXPECT_THAT(log, HasSubstr("Failed to add firewall exception for \"" + folder +
                               "\\missing.exe\": file does not exist\r\n"));
    EXPECT_THAT(log, HasSubstr("Added firewall exception: UDP port 9090\r\n"));
    EXPECT_THAT(log, Not(HasSubstr("TCP port 9090")));
    EXPECT_THAT(log, Not(HasSubstr("Failed to connect to the firewall service")));

    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_EQ(FirewallSection(data), "8080;Web;3;\r\n" + folder + "\\bin\\server.exe;Server;;\r\n") << data;
}

TEST(FirewallExceptions, MalformedLineStopsTheRunWithErrorNinetyBeforeAnythingChanges) {
    TestProduct product = MakeProduct("Firewall Malformed");
    std::filesystem::remove_all(HostPath(InstallFolderOf("Firewall Malformed")));
    product.items.push_back(FileItem("app.txt", "app\r\n"));
    product.settings.firewallRules = u"8080;Web;3;\r\n8081;Web;3\r\n";
    RunResult run = InstallSilently(WriteInstaller(product, "firewall-malformed.exe"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.debugOutput, HasSubstr("This installation program is corrupt."));
    EXPECT_THAT(run.debugOutput, HasSubstr("Error code: 90\n"));
    EXPECT_THAT(run.debugOutput, Not(HasSubstr("Added firewall exception")));
    EXPECT_FALSE(RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firewall Malformed",
                               "DisplayName")
                     .has_value());
    // Checked before the first change: no file, no folder is left half installed.
    EXPECT_FALSE(std::filesystem::exists(HostPath(InstallFolderOf("Firewall Malformed"))));
}

TEST(FirewallExceptions, PortableBitAloneDoesNotSkipOnAFixedDrive) {
    // Not portable here (a fixed drive), so the bit changes nothing.
    TestProduct product = MakeProduct("Firewall Fixed Drive");
    product.payloadFlags |= 0x80000;
    product.settings.firewallRules = u"7070;;1;";
    product.items.push_back(FileItem("app.txt", "app\r\n"));
    RunResult run = InstallSilently(WriteInstaller(product, "firewall-fixed.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    EXPECT_THAT(InstallLogOf("Firewall Fixed Drive"), HasSubstr("Added firewall exception: TCP port 7070\r\n"));
}

}  // namespace
}  // namespace palisade::wine
