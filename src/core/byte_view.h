// A read-only view of bytes owned elsewhere (a mapped section, a record, a buffer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace palisade {

struct ByteView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    ByteView() = default;
    ByteView(const std::uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}
    ByteView(const std::vector<std::uint8_t>& bytes) : data(bytes.data()), size(bytes.size()) {}

    bool empty() const { return size == 0; }
    const std::uint8_t* begin() const { return data; }
    const std::uint8_t* end() const { return data + size; }
    const std::uint8_t& operator[](std::size_t index) const { return data[index]; }

    // The bytes from `offset` on, at most `length` of them; empty when `offset` lies beyond the end.
    ByteView Sub(std::size_t offset, std::size_t length = SIZE_MAX) const {
        if (offset > size) return {};
        std::size_t left = size - offset;
        return {data + offset, length < left ? length : left};
    }
    std::vector<std::uint8_t> Copy() const { return {begin(), end()}; }
};

// The bytes of narrow text.
inline ByteView BytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace palisade
