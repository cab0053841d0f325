// The bytes of Uninstall.DAT: the uninstall list followed by the sections the
// uninstaller reads (messages, applications to close, the recorded actions).
#pragma once

#include <array>
#include <string>

#include "log/installation_record.h"
#include "uninstall/uninstall_data_reader.h"
#include "payload/settings.h"

namespace palisade {

inline constexpr char16_t kUninstallDataFileName[] = u"Uninstall.DAT";

// The catalogue messages the uninstaller shows, stored in the chosen language.
inline constexpr std::array<int, 32> kUninstallerMessageNumbers = {
    10, 15, 20, 30, 34, 35, 49, 53, 55, 56, 57, 58, 59, 65, 67, 68,
    69, 70, 71, 74, 79, 80, 99, 100, 101, 104, 107, 108, 109, 110, 111, 115};

// The pseudo message number under which the page header text is stored.
inline constexpr int kPageTextMessageNumber = 999;

// What an earlier installation of the product recorded and this one did not:
// added to `record`, so that the uninstaller also removes what only the
// earlier version installed (a file an upgrade no longer ships, its
// registry keys, associations and the rest). Nothing is recorded twice.
void CarryOverPreviousRecord(const UninstallDataContents& previous, InstallationRecord& record);

// The whole file: no byte-order mark, sections only when they have content
// (except "[Strings]", which is always written).
std::string ComposeUninstallData(const InstallationRecord& record, const InstallerSettings& settings);

}  // namespace palisade
