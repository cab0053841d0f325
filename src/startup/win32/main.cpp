// Entry point of the installer stub.
#include <windows.h>

#include "core/win32/system_library.h"
#include "payload/win32/payload_loader_win32.h"
#include "startup/win32/main_sequence_win32.h"
#include "startup/win32/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace palisade;
    RestrictLibrarySearchToSystemFolder();
    const OwnExecutable* executable = nullptr;
    SetupSection section = StartProcess(instance, executable);
    std::unique_ptr<LoadedPayload> payload = LoadPayload(instance, *executable, section);
    RunInstallation(*payload.release(), *executable, section);
}
