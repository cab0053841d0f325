// The inspector's plain-text view: a short header summary, the settings that differ from their defaults, and an item table.
#pragma once

#include <string>

#include "inspector/installer_examination.h"

namespace palisade::tools {

std::string RenderInspectionText(const Inspection& inspection, const std::string& path);

}  // namespace palisade::tools
