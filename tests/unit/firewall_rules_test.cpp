// The firewall lines: parsing and malformed lists, port and program lines,
// protocol bits, path resolution, log texts and the "[Firewall]" record.
#include "actions/firewall_rules.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

TEST(FirewallRulesTest, ParsesFourFieldLinesWithAnyLineBreak) {
    FirewallParse parse =
        ParseFirewallRules(u"8080;Web;3;\r\n bin\\server.exe ; Server ;;1\n\r\n\n%InstallDir%\\a.exe;;;\r");
    ASSERT_FALSE(parse.malformed);
    ASSERT_EQ(parse.lines.size(), 3u);
    EXPECT_EQ(parse.lines[0].target, u"8080");
    EXPECT_EQ(parse.lines[0].name, u"Web");
    EXPECT_EQ(parse.lines[0].protocol, u"3");
    EXPECT_EQ(parse.lines[0].keep, u"");
    EXPECT_EQ(parse.lines[1].target, u"bin\\server.exe");
    EXPECT_EQ(parse.lines[1].name, u"Server");
    EXPECT_EQ(parse.lines[1].keep, u"1");
    EXPECT_EQ(parse.lines[2].target, u"%InstallDir%\\a.exe");
    EXPECT_TRUE(ParseFirewallRules(u"").lines.empty());
    EXPECT_FALSE(ParseFirewallRules(u"\r\n  \r\n").malformed);
}

TEST(FirewallRulesTest, AnyOtherFieldCountIsMalformed) {
    for (std::u16string text : {u"8080;Web;3", u"8080;Web;3;;", u"8080", u"80;a;1;\r\n81;b;1"}) {
        FirewallParse parse = ParseFirewallRules(text);
        EXPECT_TRUE(parse.malformed) << std::string(text.begin(), text.end());
        EXPECT_TRUE(parse.lines.empty());
    }
}

TEST(FirewallRulesTest, PortLinesAreDigitsOnly) {
    auto port = [](std::u16string target) { return PortNumberOf(FirewallLine{target, u"", u"", u""}); };
    EXPECT_EQ(port(u"8080"), 8080u);
    EXPECT_EQ(port(u"0"), 0u);
    EXPECT_EQ(port(u"99999999999999"), 0u) << "too long for a port, still a port line";
    EXPECT_FALSE(port(u"80a").has_value());
    EXPECT_FALSE(port(u"-1").has_value());
    EXPECT_FALSE(port(u"C:\\app.exe").has_value());
    EXPECT_FALSE(port(u"").has_value());
    EXPECT_TRUE(IsValidPort(1));
    EXPECT_TRUE(IsValidPort(65535));
    EXPECT_FALSE(IsValidPort(0));
    EXPECT_FALSE(IsValidPort(65536));
}

TEST(FirewallRulesTest, ProtocolBitsOpenTcpAndUdp) {
    auto bits = [](std::u16string protocol) { return ProtocolBitsOf(FirewallLine{u"80", u"", protocol, u""}); };
    EXPECT_EQ(bits(u"3"), 3u);
    EXPECT_EQ(bits(u""), 0u);
    EXPECT_EQ(bits(u"x"), 0u);

    std::vector<PortProtocol> both = ProtocolsFor(3);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].ipProtocol, 6);  // TCP in the firewall interface
    EXPECT_EQ(both[0].word, u"TCP");
    EXPECT_EQ(both[1].ipProtocol, 17);  // UDP
    EXPECT_EQ(both[1].word, u"UDP");
    ASSERT_EQ(ProtocolsFor(2).size(), 1u);
    EXPECT_EQ(ProtocolsFor(2)[0].ipProtocol, 17);
    EXPECT_TRUE(ProtocolsFor(0).empty());
    EXPECT_TRUE(ProtocolsFor(4).empty());
}

TEST(FirewallRulesTest, RelativeProgramsLieInTheInstallationFolder) {
    EXPECT_EQ(ResolveProgramPath(u"bin\\s.exe", u"C:\\App"), u"C:\\App\\bin\\s.exe");
    EXPECT_EQ(ResolveProgramPath(u".\\s.exe", u"C:\\App\\"), u"C:\\App\\s.exe");
    EXPECT_EQ(ResolveProgramPath(u"D:\\Other\\s.exe", u"C:\\App"), u"D:\\Other\\s.exe");
    EXPECT_EQ(ResolveProgramPath(u"\\\\srv\\share\\s.exe", u"C:\\App"), u"\\\\srv\\share\\s.exe");
}

TEST(FirewallRulesTest, NameDefaultsToTheProductAndKeepIsExactlyOne) {
    EXPECT_EQ(ExceptionName(FirewallLine{u"80", u"", u"1", u""}, u"Product"), u"Product");
    EXPECT_EQ(ExceptionName(FirewallLine{u"80", u"Web", u"1", u""}, u"Product"), u"Web");
    EXPECT_TRUE(StaysAfterUninstall(FirewallLine{u"80", u"", u"1", u"1"}));
    EXPECT_FALSE(StaysAfterUninstall(FirewallLine{u"80", u"", u"1", u"0"}));
    EXPECT_FALSE(StaysAfterUninstall(FirewallLine{u"80", u"", u"1", u"11"}));
}

TEST(FirewallRulesTest, LogTexts) {
    EXPECT_EQ(ConnectFailedText(-2147221164), u"Failed to connect to the firewall service: code -2147221164\r\n");
    EXPECT_EQ(PortAddedText(u"TCP", 8080), u"Added firewall exception: TCP port 8080\r\n");
    EXPECT_EQ(PortAddedText(u"UDP", 53), u"Added firewall exception: UDP port 53\r\n");
    EXPECT_EQ(PortFailedText(8080, -5), u"Failed to open firewall port 8080, code -5\r\n");
    EXPECT_EQ(ProgramMissingText(u"C:\\a.exe"),
              u"Failed to add firewall exception for \"C:\\a.exe\": file does not exist\r\n");
    EXPECT_EQ(ProgramFailedText(u"C:\\a.exe", -1), u"Failed to add firewall exception for \"C:\\a.exe\", code -1\r\n");
    EXPECT_EQ(ProgramAddedText(u"C:\\a.exe"), u"Added firewall exception: C:\\a.exe\r\n");
}

TEST(FirewallRulesTest, RecordLineCarriesTheResolvedTargetInUtf8) {
    FirewallLine program{u"bin\\s.exe", u"Serv\u00E9r", u"", u""};
    EXPECT_EQ(FirewallRecordLine(program, u"C:\\App\\bin\\s.exe"), "C:\\App\\bin\\s.exe;Serv\xC3\xA9r;;\r\n");
    FirewallLine port{u"8080", u"", u"3", u"0"};
    EXPECT_EQ(FirewallRecordLine(port, u"8080"), "8080;;3;0\r\n");
}

}  // namespace
}  // namespace palisade
