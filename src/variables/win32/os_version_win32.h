// Gathers the OsVersionInfo record from the running system.
#pragma once

#include "variables/os_version_info.h"

namespace palisade {

// Reads the record now: wine_get_version, RtlGetVersion (else GetVersionExW),
// GetProductInfo above major version 5, GetNativeSystemInfo above 4, and the
// system metrics and ReleaseId the description needs.
OsVersionInfo ReadOsVersion();

// The process's record, read on first use and never refreshed.
const OsVersionInfo& CurrentOsVersion();

}  // namespace palisade
