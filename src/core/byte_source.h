// Random-access reading of a file's bytes, so that portable code can walk a
// file on disk (through the Win32 layer) or an image in memory (in tests).
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "core/byte_view.h"

namespace palisade {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads exactly `length` bytes at `position`; false on a short or failed read.
    virtual bool ReadAt(std::uint64_t position, void* buffer, std::size_t length) const = 0;
    virtual std::uint64_t Size() const = 0;

    std::optional<std::uint16_t> ReadU16(std::uint64_t position) const;
    std::optional<std::uint32_t> ReadU32(std::uint64_t position) const;
};

// Bytes already in memory (a mapped section, a buffer), read by copying.
class ViewByteSource final : public ByteSource {
public:
    explicit ViewByteSource(ByteView bytes) : m_bytes(bytes) {}
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t length) const override;
    std::uint64_t Size() const override { return m_bytes.size; }

private:
    ByteView m_bytes;
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t length) const override;
    std::uint64_t Size() const override { return m_bytes.size(); }

private:
    const std::vector<std::uint8_t>& m_bytes;
};

}  // namespace palisade
