// The System Restore point around an installation: opened before the machine
// changes, closed when the installation has finished.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "variables/install_context.h"

namespace palisade {

class RestorePoint {
public:
    RestorePoint() = default;
    RestorePoint(const RestorePoint&) = delete;
    RestorePoint& operator=(const RestorePoint&) = delete;
    // A restore point still open is closed, without a log line.
    ~RestorePoint() { Commit(); }

    // Sets up COM security, then asks the service to begin a system change.
    // False with `error` holding the reason when no restore point was opened.
    bool Begin(std::u16string_view description, std::u16string& error);
    // Ends the open system change; false when none was open, the service is
    // missing or the call failed. No restore point is open afterwards.
    bool Commit();
    bool IsOpen() const { return m_sequenceNumber != 0; }

private:
    std::int64_t m_sequenceNumber = 0;
};

// COM security for the process as the restore point service wants it; false
// with `error` holding one of the set-up failure texts.
bool InitialiseComSecurity(std::u16string& error);

// "Creating restore point..." then "OK" or "FAILED" and the reason; a failure
// clears the restore-point bit of the payload flags so no commit is tried.
// Does nothing when the payload flags do not ask for a restore point.
void BeginRestorePoint(InstallContext& context, RestorePoint& restorePoint);

// Closes the restore point when the payload flags still ask for it; logs
// "Failed to commit restore point." when that fails.
void CommitRestorePoint(InstallContext& context, RestorePoint& restorePoint);

}  // namespace palisade
