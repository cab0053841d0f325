// The `[build]` table of a project file: compression, cipher, chunking, threads, stub and output.
#include "builder/build_values.h"

#include "builder/project_sections.h"
#include "common/project_keys.h"

namespace palisade::tools {

namespace {

void ReadChunkSize(TomlReader& reader, const toml::table& build, BuildOptions& options) {
    const toml::node* node = build.get("chunk_size");
    if (!node) return;
    std::optional<std::size_t> size;
    if (auto* number = node->as_integer(); number && number->get() > 0) size = std::size_t(number->get());
    if (auto* text = node->as_string()) size = ParseByteSize(text->get());
    if (!size || *size < kMinChunkSize || *size > kMaxChunkSize) {
        reader.Error(*node, "'chunk_size' must be a size from 4 KiB to 256 MiB, e.g. 4194304 or \"4 MiB\"");
        return;
    }
    options.chunkSize = *size;
}

void ReadCipher(TomlReader& reader, const toml::table& build, BuildOptions& options) {
    std::optional<bool> cipher = reader.Bool(build, "cipher");
    if (cipher) options.cipher = *cipher;
    std::optional<std::string> keyText = reader.String(build, "cipher_key");
    if (!keyText) return;
    options.cipherKey = ParseCipherKey(*keyText);
    if (!options.cipherKey) {
        reader.Error(*build.get("cipher_key"), "'cipher_key' must be 16 hexadecimal digits (8 bytes)");
    } else if (cipher && !*cipher) {
        reader.Error(*build.get("cipher_key"), "'cipher_key' is given but 'cipher' is false");
    } else {
        options.cipher = true;
    }
}

}  // namespace

void ReadBuildOptions(TomlReader& reader, const toml::table& build, BuildOptions& options) {
    reader.CheckKnownKeys(build, KeyNames(MembersOf("build")), "[build]");
    if (auto compress = reader.Bool(build, "compress")) options.compress = *compress;
    ReadCipher(reader, build, options);
    ReadChunkSize(reader, build, options);
    if (auto preset = reader.Integer(build, "xz_preset", 0, 9)) options.xzPreset = std::uint32_t(*preset);
    if (auto extreme = reader.Bool(build, "xz_extreme")) options.xzExtreme = *extreme;
    if (auto best = reader.Bool(build, "best")) options.best = *best;
    if (auto jobs = reader.Integer(build, "jobs", 0, 256)) options.jobs = unsigned(*jobs);
    if (auto stub = reader.String(build, "stub")) options.stub = *stub;
    if (auto output = reader.String(build, "output")) options.output = *output;
    if (auto sign = reader.String(build, "sign")) {
        if (sign->find("{file}") == std::string::npos) {
            reader.Error(*build.get("sign"), "'sign' must name the file to sign as {file}, e.g. \"osslsigncode sign "
                                             "-pkcs12 cert.pfx -in {file} -out {file}.signed && mv {file}.signed {file}\"");
        }
        options.sign.command = *sign;
        options.sign.place = reader.PlaceOf(*build.get("sign"));
    }
}

}  // namespace palisade::tools
