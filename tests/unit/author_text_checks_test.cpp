// The checks of the firewall rules, registry entries and product key that the
// builder reports and the installer runs before it changes anything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "actions/author_text_checks.h"

namespace palisade {
namespace {

using ::testing::HasSubstr;

struct TextCase {
    const char16_t* text;
    int line;             // 0: no problem expected
    bool fatal;
    const char* message;
};

void ExpectProblems(const std::vector<AuthorTextProblem>& problems, const TextCase& c) {
    if (c.line == 0) {
        EXPECT_TRUE(problems.empty()) << problems.front().message;
        return;
    }
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, c.line);
    EXPECT_EQ(problems[0].fatal, c.fatal);
    EXPECT_THAT(problems[0].message, HasSubstr(c.message));
}

TEST(AuthorTextChecks, FirewallRules) {
    const TextCase cases[] = {
        {u"8080;Web;3;\r\n\r\n%InstallDir%\\app.exe;App;;1\r\n", 0, false, ""},
        {u"8080;Web;3;\r\n8765;Sync;3\r\n", 2, true, "four fields"},  // the field count the installer stops on
        {u"\n\n1;2;3;4;5", 3, true, "four fields"},                    // LF lines count like CR LF ones
        {u"70000;Big;1;", 1, false, "1..65535"},
        {u"0;Zero;1;", 1, false, "1..65535"},
        {u"99999999999999999999;Huge;1;", 1, false, "1..65535"},
        {u"8080;Web;;", 1, false, "1 (TCP), 2 (UDP) or 3"},
        {u"8080;Web;tcp;", 1, false, "not 'tcp'"},
        {u"8080;Web;4;", 1, false, "not '4'"},
        {u"8080;Web;1;yes", 1, false, "must be 0, 1 or empty"},
        {u" ;Nothing;1;", 1, false, "port number or a program"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string(c.message));
        ExpectProblems(CheckFirewallRules(c.text), c);
    }
}

TEST(AuthorTextChecks, RegistryEntries) {
    const TextCase cases[] = {
        {u"HKLM\\Software\\Acme\r\nHKCU\\Software\\Acme,Size,4,12,1\r\n\r\nHKLM\\Software\\Acme,Old,,,4", 0, false, ""},
        {u"HKLM\\Software\\Acme\nHKLM\\Software\\Acme,Name,1,x", 2, false, "not 4 fields"},
        {u"HKXX\\Software\\Acme", 1, false, "must begin with a root"},
        {u"HKLM\\Software\\Acme,V,7,x,1", 1, false, "the type must be 1 (REG_SZ)"},
        {u"HKLM\\Software\\Acme,V,three,x,1", 1, false, "type must be a decimal"},
        {u"HKLM\\Software\\Acme,V,1,x,write", 1, false, "operation must be a decimal"},
        {u"HKLM\\Software\\Acme,V,3,0g,1", 1, false, "pairs of hexadecimal"},
        {u"HKLM\\Software\\Acme,V,3,abc,1", 1, false, "pairs of hexadecimal"},
        {u"HKLM\\Software\\Acme,V,4,4294967296,1", 1, false, "fits 32 bits"},
        {u"HKLM\\Software\\Acme,V,11,x,1", 1, false, "fits 64 bits"},
        {u"HKLM\\Software\\Acme,\"V,1,x,1", 1, false, "quote is not closed"},
        {u"HKLM\\Software\\Microsoft", 1, false, "never removed"},
        {u"HKCR\\CLSID", 1, false, "never removed"},
        {u"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run,Acme,1,x.exe,1", 0, false, ""},  // a value there is fine
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string(c.message));
        ExpectProblems(CheckRegistryEntries(c.text), c);
    }
}

// The product's own key goes whole at uninstallation: a value meant to stay
// cannot live in it.
TEST(AuthorTextChecks, KeptValuesOutsideTheProductsOwnKey) {
    const TextCase cases[] = {
        {u"HKLM\\Software\\Acme\\Tool,Seen,1,x,3", 1, false, "removed whole"},
        {u"HKCU\\software\\acme\\tool\\Sub,Seen,1,x,7", 1, false, "use operation 6"},
        {u"HKAU\\Software\\Acme\\Tool,Seen,1,x,3", 1, false, "use operation 1"},
        {u"HKLM\\Software\\Acme\\Tool,Seen,1,x,1", 0, false, ""},       // removed with it anyway
        {u"HKLM\\Software\\Acme\\Toolbox,Seen,1,x,3", 0, false, ""},    // another key
        {u"HKCR\\Software\\Acme\\Tool,Seen,1,x,3", 0, false, ""},       // not a root the key is made in
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string(c.message));
        ExpectProblems(CheckRegistryEntries(c.text, u"Acme\\Tool"), c);
    }
}

TEST(AuthorTextChecks, ProductRegistryMustBeAKeyOfItsOwn) {
    EXPECT_TRUE(CheckProductRegistry(u"").empty());
    EXPECT_TRUE(CheckProductRegistry(u"Acme\\Tool").empty());
    EXPECT_TRUE(CheckProductRegistry(u"Acme").empty());
    for (const char16_t* shared : {u"Microsoft", u"Classes", u"Policies", u"Wow6432Node", u"Acme\\\\Tool"}) {
        std::vector<AuthorTextProblem> problems = CheckProductRegistry(shared);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].setting, "ProductRegistry");
    }
}

}  // namespace
}  // namespace palisade
