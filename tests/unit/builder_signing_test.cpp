// Signing at build time: the command and its {file}, the signed installer
// read back with every check, and the signed uninstaller it carries.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "builder/build_command.h"
#include "builder/pe_resources.h"
#include "builder/sign_command.h"
#include "builder_test_support.h"
#include "inspector/examine_command.h"
#include "inspector/installer_examination.h"
#include "payload/pe_certificate.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

using testing::TempFolder;
using ::testing::HasSubstr;

// Does to {file} what an Authenticode signing tool does: pads it to 8 bytes,
// appends a certificate table, names it in the certificate directory and sets
// the PE checksum. Counts its calls in signed.log.
constexpr char kFakeSigner[] = R"(import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
pe = struct.unpack_from('<I', data, 60)[0]
while len(data) % 8:
    data.append(0)
certificate = bytes([0x30]) * 0x100
struct.pack_into('<II', data, pe + 152, len(data), len(certificate))
struct.pack_into('<I', data, pe + 88, 0x1234)
open(path, 'wb').write(data + certificate)
open('signed.log', 'a').write(path.rsplit('/', 1)[-1] + '\n')
)";

constexpr char kProject[] = R"(ProductName = "Signed"
IntegrityMode = 1
ArchiveInFile = 1
SettingsFlags1 = ["Uninstaller"]
PayloadFlags = ["StrippedInstaller"]
UninstallerIcon = "app.ico"
[build]
sign = "%SIGN%"
compress = false
[[files]]
source = "big.bin"
)";

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string IconFile() {
    std::string file("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x28\0\0\0\x16\0\0\0", 22);
    return file + std::string(40, '\x7f');
}

class BuilderSigning : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("sign.py", kFakeSigner);
        folder.Write("app.ico", IconFile());
        std::vector<std::uint8_t> noise = ::palisade::testing::NoiseBytes(20000, 5);  // reaches past the section
        folder.Write("big.bin", std::string(noise.begin(), noise.end()));
        std::vector<std::uint8_t> stub = ::palisade::testing::MakeStub();
        stubPath = folder.Write("stub.exe", std::string(stub.begin(), stub.end())).string();
    }

    int Build(const std::string& sign, const std::vector<std::string>& extra = {}) {
        std::string text = kProject;
        text.replace(text.find("%SIGN%"), 6, sign);
        std::vector<std::string> arguments = {folder.Write("palisade.toml", text).string(), "-o", output(), "--stub",
                                              stubPath, "-q"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ::testing::internal::CaptureStderr();
        int code = RunBuildCommand(arguments);
        errors = ::testing::internal::GetCapturedStderr();
        return code;
    }
    std::string output() const { return (folder / "setup.exe").string(); }

    TempFolder folder;
    std::string stubPath;
    std::string errors;
};

TEST(SignCommand, FileIsReplacedByTheQuotedPath) {
    EXPECT_EQ(ExpandSignCommand("sign -in {file} -out {file}.s", "/tmp/a b/setup.exe"),
              "sign -in '/tmp/a b/setup.exe' -out '/tmp/a b/setup.exe'.s");
    EXPECT_EQ(ExpandSignCommand("x {file}", "/tmp/it's"), "x '/tmp/it'\\''s'");
    EXPECT_EQ(ExpandSignCommand("no file here", "/x"), "no file here");
}

TEST_F(BuilderSigning, TheInstallerAndItsUninstallerAreSignedAndPassEveryCheck) {
    ASSERT_EQ(Build("python3 sign.py {file}"), 0) << errors;
    std::vector<std::uint8_t> image = ReadBytes(output());
    EXPECT_TRUE(CarriesSignature(image));
    Inspection inspection = InspectInstaller(image);
    ASSERT_FALSE(inspection.Failed()) << inspection.failedCheck;
    EXPECT_EQ(inspection.settings->archiveInFile, 1) << "the archive stayed in the file";
    ASSERT_TRUE(inspection.uninstaller);
    EXPECT_TRUE(inspection.uninstaller->carried);
    EXPECT_TRUE(inspection.uninstaller->signedImage);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunInspectCommand({output(), "--json"}), 0);
    std::string json = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(json, HasSubstr("\"signed\": true"));
    EXPECT_THAT(json, HasSubstr("\"uninstaller\": {\n    \"carried\": true,\n    \"signed\": true"));
    // The command ran in the project's folder, once on each image.
    std::ifstream log(folder / "signed.log");
    std::string calls{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
    EXPECT_EQ(calls, "uninstall.exe\nsetup.exe\n");

    // The uninstaller the installation writes carries the icon, put in before signing.
    ::palisade::testing::InstallerReading reading = ::palisade::testing::ReadInstaller(image);
    ASSERT_EQ(reading.errorCode, 0);
    ResourceRead resources = ReadResources(reading.strippedImage);
    ASSERT_EQ(resources.error, "");
    ASSERT_EQ(resources.resources.size(), 2u);
    EXPECT_EQ(resources.resources[0].type.id, kResourceIcon);
    EXPECT_EQ(resources.resources[0].data, std::vector<std::uint8_t>(40, 0x7f));
}

TEST_F(BuilderSigning, TheCommandLineSignsInTheCurrentFolder) {
    // The signer writes its log to the current folder: a folder of the test's own.
    folder.Write("cwd/.keep", "");
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder / "cwd");
    std::string script = (folder / "sign.py").string();
    int code = Build("true {file}", {"--sign", "python3 '" + script + "' {file}"});
    std::filesystem::current_path(before);
    ASSERT_EQ(code, 0) << errors;
    EXPECT_TRUE(CarriesSignature(ReadBytes(output())));
    EXPECT_TRUE(std::filesystem::exists(folder / "cwd/signed.log"));
}

TEST_F(BuilderSigning, ACommandThatFailsOrDoesNotSignStopsTheBuild) {
    EXPECT_EQ(Build("exit 3 {file}"), 1);
    EXPECT_THAT(errors, HasSubstr("palisade.toml:8:8: error: the sign command failed on uninstall.exe (exit code 3)"));
    EXPECT_FALSE(std::filesystem::exists(output()));
    EXPECT_EQ(Build("touch {file}"), 1);
    EXPECT_THAT(errors, HasSubstr("left uninstall.exe without a signature"));
    EXPECT_FALSE(std::filesystem::exists(output()));
    EXPECT_EQ(Build("python3 sign.py"), 1);
    EXPECT_THAT(errors, HasSubstr("'sign' must name the file to sign as {file}"));
    EXPECT_EQ(Build("python3 sign.py {file}", {"--sign", "python3 sign.py"}), 2);
}

TEST_F(BuilderSigning, AnIconThatIsNoIconStopsASignedBuild) {
    folder.Write("app.ico", "icon");
    EXPECT_EQ(Build("python3 sign.py {file}"), 1);
    EXPECT_THAT(errors, HasSubstr("cannot make the uninstaller to sign: the uninstaller icon is no icon file"));
}

}  // namespace
}  // namespace palisade::tools
