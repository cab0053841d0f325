// The installation action that adds the shortcuts of the file entries and of the author's list.
#include "actions/win32/shortcuts_win32.h"

namespace palisade {

// Not part of the program yet: the step does nothing (README, feature table).
void CreateShortcuts(InstallContext&) {}

}  // namespace palisade
