// Win32 failures carried as values: the code the API returned (or, for BOOL
// APIs, the thread's last error read on the very next line), never left in
// the last-error slot for a later reader.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

namespace palisade {

class [[nodiscard]] Win32Status {
public:
    // Success.
    constexpr Win32Status() = default;
    // `code` as the API returned it; 0 is success.
    constexpr explicit Win32Status(std::uint32_t code) : m_code(code) {}

    // The thread's last error, read right after a failed call. An API that
    // failed without setting one is reported with `fallback`, never as success.
    static Win32Status FromLastError(std::uint32_t fallback = kGeneralFailure);

    constexpr bool ok() const { return m_code == 0; }
    constexpr bool failed() const { return m_code != 0; }
    constexpr std::uint32_t code() const { return m_code; }
    constexpr bool operator==(Win32Status other) const { return m_code == other.m_code; }
    constexpr bool operator!=(Win32Status other) const { return m_code != other.m_code; }

    static constexpr std::uint32_t kGeneralFailure = 31;  // ERROR_GEN_FAILURE

private:
    std::uint32_t m_code = 0;
};

// A value, or the status of the call that could not produce it.
template <typename T>
class [[nodiscard]] Win32Result {
public:
    Win32Result(T value) : m_value(std::move(value)) {}
    Win32Result(Win32Status failure) : m_status(failure.ok() ? Win32Status(Win32Status::kGeneralFailure) : failure) {}

    bool ok() const { return m_value.has_value(); }
    Win32Status status() const { return m_status; }
    std::uint32_t code() const { return m_status.code(); }
    T& value() & { return *m_value; }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    // The value, or `fallback` when the call failed.
    T value_or(T fallback) const& { return m_value ? *m_value : std::move(fallback); }
    T value_or(T fallback) && { return m_value ? std::move(*m_value) : std::move(fallback); }
    std::optional<T> ToOptional() && { return std::move(m_value); }

private:
    std::optional<T> m_value;
    Win32Status m_status;
};

}  // namespace palisade
