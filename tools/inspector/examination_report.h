// The inspector's report of an installer: header, flags, settings, languages and items, as one tree.
#pragma once

#include "inspector/installer_examination.h"
#include "common/report_tree.h"

namespace palisade::tools {

ReportValue BuildReport(const Inspection& inspection);

}  // namespace palisade::tools
