// Calling a COM server's self-registration.
#include "actions/win32/com_server_win32.h"

#include <windows.h>

#include "actions/component_texts.h"
#include "core/win32/guarded_call.h"
#include "core/win32/known_paths.h"
#include "core/win32/process.h"
#include "core/win32/system_library.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {

std::int32_t RunRegsvr32(std::u16string_view serverPath, bool unregister) {
    ProcessRequest request;
    request.program = SystemFilePath(u"regsvr32.exe");
    request.commandLine = RegsvrArguments(serverPath, unregister);
    request.workingFolder = SystemFolderPath();
    request.hidden = true;
    ProcessEnd end = RunProcessAndWait(request);
    return end.Ran() ? std::int32_t(end.exitCode) : kRegsvrNotStarted;
}

ServerEntryCall CallServerRegistration(std::u16string_view serverPath, bool unregister) {
    using RegistrationFunction = HRESULT(WINAPI*)();
    ServerEntryCall call;
    // The server's own folder is searched for the libraries it needs.
    UniqueHmodule module = LoadLibraryFromPath(serverPath).value_or(UniqueHmodule());
    auto entry = LibraryFunction<RegistrationFunction>(module.get(),
                                                       unregister ? "DllUnregisterServer" : "DllRegisterServer");
    if (entry == nullptr) return call;
    call.called = true;
    HRESULT result = E_FAIL;
    call.faulted = RunGuarded([&] { result = entry(); }).faulted;
    call.result = std::int32_t(result);
    return call;
}

}  // namespace palisade
