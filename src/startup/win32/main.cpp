// Entry point of the installer stub.
#include <windows.h>

#include "core/format.h"
#include "core/win32/debug_output.h"
#include "payload/archive.h"
#include "payload/item_walker.h"
#include "payload/win32/payload_loader_win32.h"
#include "startup/win32/fatal.h"
#include "startup/win32/startup.h"

namespace palisade {
namespace {

// Walks every item of the archive, checking each record and its data. The
// installation steps that act on the items join this walk.
std::size_t WalkItems(const LoadedPayload& payload, ByteView archive) {
    bool compressed = (payload.settings.settingsFlags1 & kCompressedChunksBit) != 0;
    ItemWalker walker(payload.header, archive, *payload.cipher, compressed);
    FileEntry entry;
    std::size_t count = 0;
    for (;;) {
        ItemStep step = walker.Next(entry);
        if (step.status == WalkStatus::Finished) return count;
        if (step.status == WalkStatus::Failed) FatalError(step.errorCode);
        ++count;
    }
}

}  // namespace
}  // namespace palisade

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace palisade;
    const OwnExecutable* executable = nullptr;
    SetupSection section = StartProcess(instance, executable);
    std::unique_ptr<LoadedPayload> payload = LoadPayload(instance, *executable, section);

    std::vector<std::uint8_t> archiveBuffer;
    ByteView archive = LoadArchive(*payload, *executable, section, archiveBuffer);
    std::size_t items = WalkItems(*payload, archive);
    // The installation sequence is not part of this build yet: the payload
    // has been read and verified whole, and the run ends as every installer
    // run does, with exit code 1.
    WriteDebugOutput(Format(u"Payload verified: %u items.", {unsigned(items)}));
    ExitInstaller(1);
}
