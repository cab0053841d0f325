// The installation action that adds COM servers, type libraries and driver INF files registered after the file walk (progress 93 to 95).
#include "actions/win32/component_registration_win32.h"

#include "actions/win32/com_registration_win32.h"
#include "actions/win32/driver_inf_win32.h"

namespace palisade {

void RegisterComponents(InstallContext& context) {
    const InstallationRecord& record = context.record;
    if (!record.comRegistrationList.empty() || !record.typeLibraryList.empty()) {
        RegisterComServersAndTypeLibraries(context);
    }
    if (!record.driverInfList.empty()) InstallDriverInfFiles(context);
    context.progress.SetProgress(95);
}

}  // namespace palisade
