// Calling a COM server's self-registration, both ways: through regsvr32 from
// the system folder, or in this process through the server's own export.
#pragma once

#include <cstdint>
#include <string_view>

namespace palisade {

inline constexpr std::int32_t kRegsvrNotStarted = -1;

// Runs the system folder's regsvr32 silently and hidden, in the system folder,
// and waits for it; its exit code, or kRegsvrNotStarted.
std::int32_t RunRegsvr32(std::u16string_view serverPath, bool unregister);

struct ServerEntryCall {
    bool called = false;   // the server was loaded and has the export
    bool faulted = false;  // the server's code faulted (caught by the guard)
    std::int32_t result = 0;  // the export's HRESULT when called
};

// Loads the server and calls its DllRegisterServer (or DllUnregisterServer)
// under the fault guard, then frees it.
ServerEntryCall CallServerRegistration(std::u16string_view serverPath, bool unregister);

}  // namespace palisade
