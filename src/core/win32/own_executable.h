// The installer's own executable, held open for reading for the whole run.
#pragma once

#include <cstdint>
#include <string>

#include "core/byte_source.h"
#include "core/win32/unique_handle.h"

namespace palisade {

class FileByteSource final : public ByteSource {
public:
    FileByteSource(UniqueFileHandle file, std::uint64_t size) : m_file(std::move(file)), m_size(size) {}
    // Reads at `position` and puts the file's current position back afterwards.
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t length) const override;
    std::uint64_t Size() const override { return m_size; }
    bool Seek(std::uint64_t position) const;
    HANDLE Handle() const { return m_file.get(); }

private:
    UniqueFileHandle m_file;
    std::uint64_t m_size;
};

struct OwnExecutable {
    std::u16string path;
    FileByteSource file;
};

// Opens the running module's file; a failure ends the run with "Error code 1".
OwnExecutable OpenOwnExecutable();

}  // namespace palisade
