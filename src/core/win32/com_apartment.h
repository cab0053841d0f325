// Keeps COM initialised on this thread for the lifetime of a step. Start-up
// initialises COM already; the extra, balanced initialisation lets a step run
// from elsewhere (tests, the finish) without depending on that.
#pragma once

#include <objbase.h>

namespace palisade {

class ComApartment {
public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        // A thread already in another apartment model answers
        // RPC_E_CHANGED_MODE and must not be uninitialised here.
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

}  // namespace palisade
