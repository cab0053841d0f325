// An installer started from a folder that also holds libraries named like
// system ones (the Downloads folder of a careless or attacked user) must load
// none of them: it runs elevated, and their code would too.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

// version.dll is loaded from the system folder too, but Wine's own system
// libraries import it before the installer runs a line, from wherever the
// search finds it; so only the libraries nothing of Wine's imports are
// planted here.
const char* const kPlanted[] = {"msi", "wintrust", "srclient"};

fs::path Marker(const std::string& library) { return HostPath("C:\\planted-loaded-" + library + ".dll"); }

// Wine prefers its own builtin libraries to a native file it finds; asking for
// native ones first makes it load whatever the search finds, as Windows does.
RunResult InstallPreferringNative(const fs::path& installer) {
    RunOptions options = WithArguments({"/silent"});
    options.environment = {{"WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree,mshtml=;msi,wintrust,srclient=n,b"}};
    return RunProgram(installer, options);
}

// Copies `installer` into a fresh folder beside every planted library.
fs::path PlantBeside(const fs::path& installer, const std::string& folderName) {
    fs::path downloads = BuildDir() / folderName;
    fs::remove_all(downloads);
    fs::create_directories(downloads);
    fs::copy_file(installer, downloads / "setup.exe");
    for (const char* library : kPlanted) {
        fs::copy_file(fs::path(PALISADE_FIXTURE_DIR) / "planted" / (std::string(library) + ".dll"),
                      downloads / (std::string(library) + ".dll"));
        fs::remove(Marker(library));
    }
    return downloads / "setup.exe";
}

void ExpectNoneLoaded() {
    for (const char* library : kPlanted) {
        EXPECT_FALSE(fs::exists(Marker(library))) << library << ".dll beside the installer was loaded";
    }
}

TEST(PlantedLibraries, NoneBesideTheInstallerIsLoaded) {
    if (!fs::exists(fs::path(PALISADE_FIXTURE_DIR) / "planted" / "msi.dll")) {
        GTEST_SKIP() << "the planted-library fixtures were not built";
    }
    const std::string name = Unique("Planted Libraries");
    const std::string folder = InstallFolderOf(name);

    // A product that loads each library: an MSI package (msi.dll) and a
    // restore point (srclient.dll); the version-checked file shows that the
    // system's version.dll still answers.
    TestProduct product = MakeProduct(name);
    product.payloadFlags |= PayloadFlags::kRestorePoint;
    PayloadItem versioned = FileItem("tool.dll", "a newer tool");
    versioned.kind = EntryKind::NewerOnlyFile;
    versioned.info = "9.0";
    product.items.push_back(versioned);
    PayloadItem package = FileItem("package.msi", "not really a package");
    package.kind = EntryKind::MsiPackage;
    product.items.push_back(package);
    // Wine's own version.dll carries a version resource (5.1.2600.2180).
    fs::create_directories(HostPath(folder));
    // Older than the item, so that the version decides.
    fs::path tool = HostPath(folder + "\\tool.dll");
    fs::copy_file("/usr/lib/i386-linux-gnu/wine/i386-windows/version.dll", tool, fs::copy_options::overwrite_existing);
    fs::last_write_time(tool, fs::last_write_time(tool) - std::chrono::hours(24 * 365 * 10));

    RunResult run = InstallPreferringNative(PlantBeside(WriteInstaller(product, "planted-libraries.exe"), "planted-downloads"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;
    // The installation went through every step that loads a library.
    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, ::testing::HasSubstr("tool.dll needs replacement because its version (9.0) is newer"));
    EXPECT_THAT(log, ::testing::HasSubstr("Installing MSI package"));
    EXPECT_THAT(log, ::testing::HasSubstr("Creating restore point..."));
    ExpectNoneLoaded();

    // The signature test loads wintrust.dll (the unsigned installer then stops).
    product.settings.integrityMode = 2;
    RunResult signedRun =
        InstallPreferringNative(PlantBeside(WriteInstaller(product, "planted-signature.exe"), "planted-signature"));
    EXPECT_EQ(signedRun.exitCode, 1);
    EXPECT_THAT(signedRun.debugOutput, ::testing::HasSubstr("Error code: 100"));
    ExpectNoneLoaded();
}

}  // namespace
}  // namespace palisade::wine
