// Runs an MSI package that the file walk has just written.
#pragma once

#include <string>

#include "payload/file_entry.h"
#include "variables/install_context.h"

namespace palisade {

// Installs the package at `destination` through MSI.DLL (loaded on first use)
// with "REBOOT=R"; logs the outcome and, when the entry asks for it, records
// the package in the "[MSI]" section for the uninstaller.
void InstallMsiPackage(const FileEntry& entry, const std::u16string& destination, InstallContext& context);

}  // namespace palisade
