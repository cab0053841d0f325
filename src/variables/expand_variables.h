// ExpandVariables: replaces the installer's percent-sign variables
// (%InstallDir% ...) in a text and then lets the system expand the remaining
// environment variables.
#pragma once

#include <string>
#include <string_view>

#include "variables/installation_state.h"
#include "variables/system_facts.h"

namespace palisade {

// The environment pass keeps at most this many characters (its buffer holds
// 32,000 with the terminating zero).
inline constexpr std::size_t kExpandedTextLimit = 31999;

// Replaces every variable of the table, in the table's order, each with one
// replace-all over the whole current text (names compared without regard to
// case, except %OldVersionMajor% and %OldVersionMinor%); then the environment
// pass. Values are taken now, from `state` and `facts`; nothing is cached
// except the %Temp% folder (kept by `facts`).
std::u16string ExpandVariables(std::u16string_view text, const InstallationState& state, SystemFacts& facts);

// The variable pass alone, without the environment pass.
std::u16string ReplaceInstallerVariables(std::u16string_view text, const InstallationState& state,
                                         SystemFacts& facts);

}  // namespace palisade
