// Building small installers from test code and reading back their results.
#include "install_support.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>

#include "builder/english_messages.h"
#include "core/text.h"
#include "payload/installer_image.h"

namespace palisade::wine {
namespace {

MessageCatalogue EnglishCatalogue() {
    const std::vector<std::string>& texts = tools::EnglishMessages();
    MessageCatalogue catalogue({u"English"}, texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) catalogue.SetText(i, 0, Utf8ToUtf16(texts[i]));
    return catalogue;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string InstallFolderOf(const std::string& name) { return "C:\\Palisade Tests\\" + name; }

TestProduct MakeProduct(const std::string& name) {
    TestProduct product;
    InstallerSettings& s = product.settings;
    s.displayName = Utf8ToUtf16(name);
    s.publisher = u"Palisade Tests";
    s.displayVersion = u"1.0.0";
    s.uninstallEntryName = Utf8ToUtf16(name);
    s.defaultInstallPath = Utf8ToUtf16(InstallFolderOf(name));
    s.uninstallSubdir = u"uninstall";
    s.uninstallerFileName = u"uninstall.exe";
    s.settingsFlags1 = 0x4 | 0x20 | 0x40 | 0x100000;  // uninstaller, compressed, kept log, line per file
    s.settingsFlags2 = 0x10;                           // compare versions
    s.messageCatalogue = EnglishCatalogue();
    product.payloadFlags = 0x20;  // stripped uninstaller
    return product;
}

std::string AccessListOf(const std::string& path) {
    return RunProgram(ProbePath(), WithArguments({"access-list", path})).stdoutText;
}

bool EveryoneMayWrite(const std::string& path) {
    std::string list = AccessListOf(path);
    for (std::size_t end = list.find(";;;WD)"); end != std::string::npos; end = list.find(";;;WD)", end + 1)) {
        std::size_t begin = list.rfind('(', end);
        std::string ace = list.substr(begin + 1, end - begin - 1);  // "A;flags;rights"
        std::string rights = ace.substr(ace.rfind(';') + 1);
        if (rights == "FA" || rights == "GA" || rights == "GW" || rights == "FW") return true;
        if (rights.rfind("0x", 0) == 0 && (std::stoul(rights, nullptr, 16) & 0x2) != 0) return true;
    }
    return false;
}

std::string Unique(const std::string& name) { return name + " " + std::to_string(::getpid()); }

PayloadItem FileItem(const std::string& name, const std::string& contents, const std::u16string& folder) {
    PayloadItem item;
    item.name = name;
    item.data.assign(contents.begin(), contents.end());
    item.destinationOverride = folder;
    item.timeStamp = FileTimeStamp{2024, 5, 17, 10, 30, 42};
    return item;
}

std::filesystem::path WriteInstaller(const TestProduct& product, const std::string& fileName) {
    PayloadOptions options;
    options.payloadFlags = product.payloadFlags;
    options.chunkSize = 4096;
    InstallerBuild build = BuildInstallerImage(ReadBytes(StubPath()), product.settings, product.items, options);
    EXPECT_TRUE(build.error.empty()) << build.error;
    std::filesystem::path folder = BuildDir() / "test-installers";
    std::filesystem::create_directories(folder);
    std::filesystem::path path = folder / fileName;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(build.image.data()),
                                                std::streamsize(build.image.size()));
    return path;
}

RunResult InstallSilently(const std::filesystem::path& installer, std::vector<std::string> extra) {
    std::vector<std::string> arguments{"/silent"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return RunProgram(installer, WithArguments(arguments));
}

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return timegm(&tm);
}

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteHostFile(const std::filesystem::path& path, const std::string& contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string InstallLogOf(const std::string& name) {
    return ReadHostFile(HostPath(InstallFolderOf(name) + "\\uninstall\\Install.log"));
}

}  // namespace palisade::wine
