// The uninstaller's image: the signed image the builder carried after the
// archive, or else the installer stripped of its `.setup` section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_source.h"
#include "payload/payload_header.h"
#include "payload/section_locator.h"
#include "payload/stripped_installer.h"

namespace palisade {

// The record that carries a ready uninstaller image (signed on the build
// machine, so that the installation need not change a byte of it). It lies
// right after the archive: at file position raw position + archive offset +
// archive length, inside the section's raw data when the archive is, else
// after the archive in the file. Installers without it have other bytes there
// (section padding, a certificate table, or the end of the file).
//
//   offset  0  u32  kCarriedUninstallerMagic
//   offset  4  u32  stored length S (the xz stream)
//   offset  8  u32  image length (after decompression)
//   offset 12  u32  CRC-32 of the S stored bytes
//   offset 16  S bytes: the image, one xz stream
inline constexpr std::uint32_t kCarriedUninstallerMagic = 0xc4a7e9b1;
inline constexpr std::size_t kCarriedUninstallerHeaderSize = 16;
// An uninstaller is the stub, well below this.
inline constexpr std::uint32_t kMaxCarriedUninstallerSize = 64u << 20;

// The record for `image` (nothing when xz fails or the image is too large);
// builder side only (uninstaller_image_writer.cpp).
std::optional<std::vector<std::uint8_t>> EncodeCarriedUninstaller(const std::vector<std::uint8_t>& image,
                                                                  std::uint32_t xzPreset);

// File position where the record would lie.
std::uint64_t CarriedUninstallerPosition(const PayloadHeader& header, const SetupSection& section);

struct CarriedUninstaller {
    std::optional<std::vector<std::uint8_t>> image;  // nothing: the installer carries none
    int errorCode = 0;  // 42 when a record is there but cannot be read, fails its checksum or decompression
};
CarriedUninstaller ReadCarriedUninstaller(const ByteSource& file, std::uint64_t position);

// The uninstaller image for `PayloadFlags` 0x20: the carried one when the
// installer has it, else `head` stripped (BuildStrippedInstaller).
ExecutableBytes PrepareUninstallerImage(std::vector<std::uint8_t> head, const ByteSource& file,
                                        const SetupSection& section, const PayloadHeader& header);

}  // namespace palisade
