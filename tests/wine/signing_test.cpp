// Installers signed with a real signing tool (osslsigncode, a self-signed
// certificate trusted in the test prefix) run under Wine in every integrity
// mode, and the uninstaller a signed build writes carries a valid signature.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "builder/build_command.h"
#include "install_support.h"
#include "payload/section_locator.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;

// A picture as an icon stores it, one colour, then an icon file of a red 16x16
// and a blue 32x32 picture.
std::string SolidPicture(int size, std::uint32_t bgra) {
    std::string picture;
    auto u32 = [&picture](std::uint32_t v) { for (int i = 0; i < 4; ++i) picture += char(v >> (8 * i)); };
    u32(40), u32(std::uint32_t(size)), u32(std::uint32_t(size * 2));
    picture += std::string("\1\0\x20\0", 4);
    for (int i = 0; i < 6; ++i) u32(0);
    for (int i = 0; i < size * size; ++i) u32(bgra);
    picture += std::string(std::size_t(((size + 31) / 32) * 4 * size), '\0');
    return picture;
}

std::string RedAndBlueIcon() {
    std::string red = SolidPicture(16, 0xFFFF0000), blue = SolidPicture(32, 0xFF0000FF);
    std::string file("\0\0\1\0\2\0", 6);
    std::uint32_t offset = 6 + 32;
    for (const std::string* picture : {&red, &blue}) {
        char size = picture == &red ? 16 : 32;
        file += std::string{size, size, 0, 0, 1, 0, 32, 0};
        for (std::uint32_t v : {std::uint32_t(picture->size()), offset}) {
            for (int i = 0; i < 4; ++i) file += char(v >> (8 * i));
        }
        offset += std::uint32_t(picture->size());
    }
    return file + red + blue;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

class SigningWine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (Shell("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0) return;
        s_folder = ArtefactDir() / ("signing-" + std::to_string(::getpid()));
        std::filesystem::create_directories(s_folder);
        std::string f = s_folder.string();
        // A self-signed code-signing certificate, trusted as a root in the prefix.
        bool made = Shell("cd " + Quoted(s_folder) +
                          " && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 30"
                          " -subj '/CN=Palisade Test Signing' -addext extendedKeyUsage=codeSigning 2>/dev/null"
                          " && openssl pkcs12 -export -out cert.pfx -inkey key.pem -in cert.pem -passout pass:"
                          " && openssl x509 -in cert.pem -outform der -out root.cer") == 0;
        if (!made) return;
        RunResult trusted = RunProgram(ProbePath(), WithArguments({"trust-root", "Z:" + f + "/root.cer"}));
        s_ready = trusted.stdoutText == "trusted\n";
    }

    void SetUp() override {
        if (!s_ready) GTEST_SKIP() << "osslsigncode or openssl missing, or the test root could not be trusted";
    }

    std::string SignCommand() const {
        return "osslsigncode sign -pkcs12 " + Quoted(s_folder / "cert.pfx") +
               " -pass '' -in {file} -out {file}.signed >/dev/null && mv {file}.signed {file}";
    }

    // Builds a product with the builder itself; `settings` are extra project lines.
    std::filesystem::path Build(const std::string& name, const std::string& settings, bool sign) {
        std::filesystem::path project = s_folder / name;
        WriteHostFile(project / "files/app.txt", "the program");
        std::string noise;
        for (std::uint32_t i = 0, state = 7; i < 200000; ++i) noise += char((state = state * 1103515245 + 12345) >> 24);
        WriteHostFile(project / "files/big.bin", noise);  // an archive that reaches past the section
        WriteHostFile(project / "app.ico", RedAndBlueIcon());
        std::string folder = InstallFolderOf(name);
        std::string escaped;
        for (char c : folder) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        WriteHostFile(project / "palisade.toml",
                      "ProductName = \"" + name + "\"\nUninstallEntryName = \"" + name + "\"\n"
                      "DefaultInstallPath = \"" + escaped + "\"\nUninstallSubdir = \"uninstall\"\n"
                      "UninstallerFileName = \"uninstall.exe\"\n"
                      "SettingsFlags1 = [\"Uninstaller\", \"KeepInstallLog\"]\n" + settings +
                      "\n[[files]]\nsource = \"files\"\n");
        std::filesystem::path output = s_folder / (name + ".exe");
        std::vector<std::string> arguments = {(project / "palisade.toml").string(), "-o", output.string(), "--stub",
                                              StubPath().string(), "-q", "--jobs", "1"};
        if (sign) arguments.insert(arguments.end(), {"--sign", SignCommand()});
        EXPECT_EQ(tools::RunBuildCommand(arguments), 0) << name;
        return output;
    }

    std::string Probe(const std::vector<std::string>& arguments) {
        return RunProgram(ProbePath(), WithArguments(arguments)).stdoutText;
    }

    static inline std::filesystem::path s_folder;
    static inline bool s_ready = false;
};

TEST_F(SigningWine, ASignedBuildPassesIntegrityMode2AndWritesASignedUninstaller) {
    const std::string name = Unique("Signed Mode 2");
    std::filesystem::path installer =
        Build(name, "IntegrityMode = 2\nArchiveInFile = 1\nPayloadFlags = [\"StrippedInstaller\"]\n"
                    "UninstallerIcon = \"app.ico\"\n", true);
    RunResult install = InstallSilently(installer);
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    const std::string folder = InstallFolderOf(name);
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\app.txt")), "the program");

    const std::string uninstaller = folder + "\\uninstall\\uninstall.exe";
    std::filesystem::path hostUninstaller = HostPath(uninstaller);
    EXPECT_EQ(Shell("osslsigncode verify -CAfile " + Quoted(s_folder / "cert.pem") + " -in " +
                    Quoted(hostUninstaller) + " >/dev/null 2>&1"), 0)
        << "the written uninstaller's signature verifies on the host";
    EXPECT_EQ(Probe({"verify-signature", uninstaller}), "result 0 fatal 0\n") << "and through WinVerifyTrust";
    EXPECT_EQ(Probe({"icon-info", uninstaller}), "images 2 pixel ff0000\n") << "with the settings' icon";
    EXPECT_THAT(InstallLogOf(name), Not(HasSubstr("icon")));

    EXPECT_EQ(Probe({"run-line", uninstaller, "/a /u:\"" + name + "\""}), "0");
    EXPECT_FALSE(std::filesystem::exists(HostPath(folder + "\\app.txt")));
}

TEST_F(SigningWine, ASignedBuildPassesIntegrityMode1WithTheArchiveInTheFile) {
    const std::string name = Unique("Signed Mode 1");
    RunResult install = InstallSilently(Build(name, "IntegrityMode = 1\nArchiveInFile = 1\n", true));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath(InstallFolderOf(name) + "\\big.bin")).size(), 200000u);
    EXPECT_EQ(Probe({"verify-signature", InstallFolderOf(name) + "\\uninstall\\uninstall.exe"}),
              "result 0 fatal 0\n") << "without a stripped image the uninstaller is the signed installer";
}

TEST_F(SigningWine, SigningAfterTheBuildLeavesTheStrippedUninstallerUnsignedAndAChangedFileFails) {
    const std::string name = Unique("Signed Later");
    std::filesystem::path installer = Build(name, "PayloadFlags = [\"StrippedInstaller\"]\n", false);
    std::string command = "osslsigncode sign -pkcs12 " + Quoted(s_folder / "cert.pfx") + " -pass '' -in " +
                          Quoted(installer) + " -out " + Quoted(installer.string() + ".signed") + " >/dev/null";
    ASSERT_EQ(Shell(command), 0);
    RunResult install = InstallSilently(installer.string() + ".signed");
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    // Stripping changes the headers, so the installer's signature cannot hold
    // for the uninstaller: it carries none rather than a broken one.
    EXPECT_EQ(Probe({"verify-signature", InstallFolderOf(name) + "\\uninstall\\uninstall.exe"}),
              "result 1 fatal 1\n");

    // A signed installer changed afterwards fails integrity mode 2 with the verifier's answer.
    const std::string changedName = Unique("Signed Changed");
    std::filesystem::path changed = Build(changedName, "IntegrityMode = 2\n", true);
    // The byte changed lies in the payload: one in the stub's code could make
    // the program fault before it ever checks anything.
    std::string bytes = ReadHostFile(changed);
    std::vector<std::uint8_t> image(bytes.begin(), bytes.end());
    SectionLookup lookup = LocateSetupSection(MemoryByteSource(image));
    ASSERT_TRUE(std::holds_alternative<SetupSection>(lookup));
    const SetupSection& section = std::get<SetupSection>(lookup);
    bytes[section.rawPosition + section.rawSize / 2] ^= 0x01;
    WriteHostFile(changed, bytes);
    RunResult refused = InstallSilently(changed);
    EXPECT_THAT(refused.debugOutput, HasSubstr("Error code: 1003")) << "bad digest";
    EXPECT_FALSE(std::filesystem::exists(HostPath(InstallFolderOf(changedName))));
}

}  // namespace
}  // namespace palisade::wine
