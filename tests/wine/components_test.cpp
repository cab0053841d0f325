// Silent installations of products that carry components: COM servers, a
// type library, a font, an MSI package, a driver INF and a control panel
// applet; checked through the log, Uninstall.DAT and what Wine shows after.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "install_support.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const char kPackageCode[] = "{4C7B2E19-8A35-4F60-9D2B-3E1F5A6C7D80}";
const char kAppletClsid[] = "{7D0C5E21-3B84-4A9F-8E61-2C4B9A7F1D05}";
const char kComMarks[] = "HKCU\\Software\\Palisade Tests\\Com Fixtures";

std::filesystem::path Fixture(const std::string& name) { return std::filesystem::path(PALISADE_FIXTURE_DIR) / name; }

// A component item whose data is a fixture file; false when it was not built.
// A copy left in the system folders by an earlier run is removed first, so
// that the file of this build is the one installed.
bool AddFixtureItem(TestProduct& product, const std::string& fixture, const std::string& installedName,
                    EntryKind kind, std::string info = "") {
    if (!std::filesystem::exists(Fixture(fixture))) return false;
    std::error_code ignored;
    for (const char* folder : {"C:\\windows\\syswow64\\", "C:\\windows\\system32\\", "C:\\windows\\Fonts\\"}) {
        std::filesystem::remove(HostPath(folder + installedName), ignored);
    }
    PayloadItem item = FileItem(installedName, ReadHostFile(Fixture(fixture)));
    item.kind = kind;
    item.info = std::move(info);
    product.items.push_back(std::move(item));
    return true;
}

void RunWineTool(const std::string& tool, std::vector<std::string> arguments) {
    RunProgram(HostPath("C:\\windows\\system32\\" + tool), WithArguments(std::move(arguments)));
}

std::string Probe(std::vector<std::string> arguments) {
    return RunProgram(ProbePath(), WithArguments(std::move(arguments))).stdoutText;
}

// The text after `label` up to the end of its line.
std::string LineAfter(const std::string& text, const std::string& label) {
    std::size_t at = text.find(label);
    if (at == std::string::npos) return "";
    at += label.size();
    return text.substr(at, text.find("\r\n", at) - at);
}

TEST(ComponentInstall, ComServersAndTypeLibraryRegisterAndAFaultIsSurvived) {
    TestProduct product = MakeProduct("Components COM");
    bool built = AddFixtureItem(product, "palisade_com_faulting.dll", "palisade_com_faulting.dll",
                                EntryKind::SystemComServer) &&
                 AddFixtureItem(product, "palisade_com_plain.dll", "palisade_com_plain.dll",
                                EntryKind::SystemComServer) &&
                 AddFixtureItem(product, "palisade_com_inprocess.dll", "palisade_com_inprocess.dll",
                                EntryKind::SystemComServer) &&
                 AddFixtureItem(product, "palisade_fixture.tlb", "palisade_fixture.tlb", EntryKind::SystemTypeLibrary);
    if (!built) GTEST_SKIP() << "COM or type library fixtures were not built";
    RunWineTool("reg.exe", {"delete", kComMarks, "/f"});

    RunResult run = InstallSilently(WriteInstaller(product, "components-com.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    std::string log = InstallLogOf("Components COM");
    const std::string system = "C:\\windows\\system32\\";

    // The faulting server is reported and the next ones are still registered.
    EXPECT_THAT(log, HasSubstr("Registering COM File \"" + system + "palisade_com_faulting.dll\"...CRASHED!\r\n"));
    EXPECT_THAT(log, HasSubstr("Crashed while registering COM file palisade_com_faulting.dll\r\n"));
    EXPECT_THAT(log, HasSubstr("Registering COM File \"" + system + "palisade_com_plain.dll\"...OK\r\n"));
    // regsvr32.exe refuses this one; the in-process call registers it.
    EXPECT_THAT(log, HasSubstr("Registering COM File \"" + system + "palisade_com_inprocess.dll\"...OK\r\n"));
    EXPECT_THAT(log, HasSubstr("Registering Type Library \"" + system + "palisade_fixture.tlb\"...OK\r\n"));
    EXPECT_LT(log.find("palisade_com_faulting.dll\"..."), log.find("palisade_com_plain.dll\"..."));
    EXPECT_LT(log.find("palisade_com_inprocess.dll\"..."), log.find("Registering Type Library"));

    std::optional<std::string> plain = RegQueryValue(std::string(kComMarks) + "\\Plain", "LoadedBy");
    ASSERT_TRUE(plain.has_value());
    EXPECT_THAT(*plain, HasSubstr("regsvr32.exe"));
    std::optional<std::string> inProcess = RegQueryValue(std::string(kComMarks) + "\\OnlyInProcess", "LoadedBy");
    ASSERT_TRUE(inProcess.has_value());
    EXPECT_THAT(*inProcess, HasSubstr("components-com.exe"));
    EXPECT_FALSE(RegQueryValue(std::string(kComMarks) + "\\Faulting", "LoadedBy").has_value());

    std::string typeLibrary = RegExport("HKCR\\TypeLib\\{6B1E3F52-9D47-4C8A-B0E1-5A7C2D9F4E31}");
    EXPECT_THAT(typeLibrary, HasSubstr("\\1.2\\0\\win32]"));
    EXPECT_THAT(typeLibrary, HasSubstr("palisade_fixture.tlb"));
}

TEST(ComponentInstall, FontPackageDriverAndAppletAreRegisteredAndRecorded) {
    TestProduct product = MakeProduct("Components Misc");
    bool built = AddFixtureItem(product, "palisade_fixture_mono.ttf", "palisade_fixture_mono.ttf", EntryKind::Font,
                                "Palisade Fixture Mono") &&
                 AddFixtureItem(product, "palisade_fixture.msi", "palisade_fixture.msi", EntryKind::MsiPackage) &&
                 AddFixtureItem(product, "fixture_driver.inf", "palisade_fixture_driver.inf", EntryKind::DriverInf);
    if (!built) GTEST_SKIP() << "font, MSI or INF fixtures were not built";
    PayloadItem& package = product.items[1];
    package.flags |= 0x80;    // record for the uninstaller
    package.msiUiLevel = 5;   // full interface, but the run is silent
    PayloadItem applet = FileItem("palisade_clock.cpl", "not a real applet");
    applet.kind = EntryKind::ControlPanelApplet;
    applet.extra = kAppletClsid;
    applet.arguments = "-page 2";
    product.items.push_back(applet);
    Probe({"msi-remove", kPackageCode});

    RunResult run = InstallSilently(WriteInstaller(product, "components-misc.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    const std::string folder = InstallFolderOf("Components Misc");
    std::string log = InstallLogOf("Components Misc");
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));

    // Font: the file, the system's list, the record, and a new process sees it.
    EXPECT_TRUE(std::filesystem::exists(HostPath("C:\\windows\\Fonts\\palisade_fixture_mono.ttf")));
    EXPECT_EQ(RegQueryValue("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Palisade Fixture Mono"),
              "palisade_fixture_mono.ttf");
    EXPECT_EQ(RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Components Misc",
                            "ProductFonts"),
              "\"Palisade Fixture Mono\" \"palisade_fixture_mono.ttf\" ");
    EXPECT_EQ(Probe({"font-family", "Palisade Fixture Mono"}), "present\n");

    // MSI package: installed at the basic level of a silent run and recorded.
    const std::string packagePath = folder + "\\palisade_fixture.msi";
    EXPECT_THAT(log, HasSubstr("Installing MSI package \"" + packagePath + "\"...OK\r\n"));
    EXPECT_EQ(Probe({"msi-state", kPackageCode}), "5\n");  // INSTALLSTATE_DEFAULT
    EXPECT_THAT(data, HasSubstr("\r\n\r\n[MSI]\r\n\"" + packagePath + "\",2\r\n"));

    // Driver INF: copied into the system's INF folder and recorded.
    EXPECT_THAT(log, HasSubstr("Installing driver \"" + folder + "\\palisade_fixture_driver.inf\"...OK\r\n"));
    std::string finalInf = LineAfter(log, "Final driver location: ");
    ASSERT_FALSE(finalInf.empty());
    EXPECT_TRUE(std::filesystem::exists(HostPath(finalInf))) << finalInf;
    EXPECT_THAT(data, HasSubstr("\r\n\r\n[INF]\r\n" + finalInf + "\r\n"));

    // Applet: named after its file, keys written and recorded for removal.
    EXPECT_THAT(log, HasSubstr("Registering control panel applet \"palisade_clock\"...OK\r\n"));
    std::string classKey = RegExport(std::string("HKLM\\Software\\Classes\\CLSID\\") + kAppletClsid);
    EXPECT_THAT(classKey, HasSubstr("@=\"palisade_clock\""));
    EXPECT_THAT(classKey, HasSubstr("@=\"\\\"C:\\\\Palisade Tests\\\\Components Misc\\\\palisade_clock.cpl\\\" -page 2\""));
    EXPECT_THAT(classKey, HasSubstr("@=\"C:\\\\Palisade Tests\\\\Components Misc\\\\palisade_clock.cpl\""));
    std::string nameSpace = RegExport(
        std::string("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\") +
        kAppletClsid);
    EXPECT_THAT(nameSpace, HasSubstr("@=\"palisade_clock\""));
    EXPECT_THAT(data, HasSubstr(std::string("*\\HKLM\\Software\\Classes\\CLSID\\") + kAppletClsid + "\r\n"));
    EXPECT_THAT(log, Not(HasSubstr("FAILURE SUMMARY")));

    EXPECT_EQ(Probe({"msi-remove", kPackageCode}), "0\n");
}

TEST(ComponentInstall, MissingPackageFailsWithTheSystemsCodeAndIsNotRecorded) {
    TestProduct product = MakeProduct("Components Bad MSI");
    PayloadItem package = FileItem("broken.msi", "this is not an MSI database");
    package.kind = EntryKind::MsiPackage;
    package.flags |= 0x80;
    product.items.push_back(package);
    RunResult run = InstallSilently(WriteInstaller(product, "components-bad-msi.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    std::string log = InstallLogOf("Components Bad MSI");
    std::string line = "Installing MSI package \"" + InstallFolderOf("Components Bad MSI") + "\\broken.msi\"...FAILED code ";
    EXPECT_THAT(log, HasSubstr(line));
    EXPECT_THAT(log, HasSubstr("FAILURE SUMMARY"));
    std::string data = ReadHostFile(HostPath(InstallFolderOf("Components Bad MSI") + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, Not(HasSubstr("[MSI]")));
}

}  // namespace
}  // namespace palisade::wine
