// Runs a command-line tool over bytes in temporary files, for cross-checks of
// the codecs against independent implementations.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace palisade::test {

inline bool ToolAvailable(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `command` with `input` on standard input; its standard output, or
// nothing when it exits with a non-zero status.
inline std::optional<std::vector<std::uint8_t>> RunToolOnBytes(const std::string& command,
                                                                const std::vector<std::uint8_t>& input) {
    static int serial = 0;
    std::string stem = testing::TempDir() + "codec_tool_" + std::to_string(getpid()) + "_" + std::to_string(serial++);
    std::string inPath = stem + ".in";
    std::string outPath = stem + ".out";
    {
        std::ofstream in(inPath, std::ios::binary);
        in.write(reinterpret_cast<const char*>(input.data()), std::streamsize(input.size()));
    }
    int status = std::system((command + " <'" + inPath + "' >'" + outPath + "' 2>/dev/null").c_str());
    std::ifstream out(outPath, std::ios::binary);
    std::vector<std::uint8_t> result((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
    std::remove(inPath.c_str());
    std::remove(outPath.c_str());
    if (status != 0) return std::nullopt;
    return result;
}

inline std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

}  // namespace palisade::test
