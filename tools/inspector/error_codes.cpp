// The checks behind the installer's corrupt-installer error codes, as the inspector reports them.
#include "core/fatal_codes.h"

#include "inspector/installer_examination.h"

namespace palisade::tools {

std::string DescribeErrorCode(int code) {
    if (const FatalCodeDescription* description = DescribeFatalCode(code)) return description->check;
    if (code > FatalCode::kSignatureBase) {
        return "integrity mode 2: the signature test answered " + std::to_string(code - FatalCode::kSignatureBase);
    }
    return "check of code " + std::to_string(code);
}

}  // namespace palisade::tools
