// An owning pointer to a COM interface: Release on destruction, AddRef on copy.
#pragma once

#include <unknwn.h>

#include <utility>

namespace palisade {

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer) m_pointer->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { Reset(); }

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For the out-parameter of a creating call; releases what was held.
    Interface** Put() {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset() {
        if (m_pointer) std::exchange(m_pointer, nullptr)->Release();
    }

    // QueryInterface for another interface of the same object.
    template <typename Other>
    ComPtr<Other> As(const IID& id) const {
        ComPtr<Other> other;
        if (m_pointer) m_pointer->QueryInterface(id, other.PutVoid());
        return other;
    }

private:
    Interface* m_pointer = nullptr;
};

}  // namespace palisade
