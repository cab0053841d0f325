// The installation action that adds file associations: extension and ProgID keys, verbs, icons, Open With.
#include "actions/win32/file_associations_win32.h"

namespace palisade {

// Not part of the program yet: the step does nothing (README, feature table).
void InstallAssociations(InstallContext&) {}

}  // namespace palisade
