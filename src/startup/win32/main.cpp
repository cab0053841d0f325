// Entry point of the installer stub.
#include <windows.h>

#include "startup/fatal_texts.h"
#include "startup/win32/fatal.h"
#include "startup/win32/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace palisade;
    const OwnExecutable* executable = nullptr;
    SetupSection section = StartProcess(instance, executable);
    (void)section;
    // Reading the payload header and the settings follows here.
    FatalNarrow(u"This build of the installer cannot read installation data yet.");
}
