// The standard Blowfish initial P-array and S-boxes (the digits of pi).
#pragma once

#include <cstdint>

namespace palisade {

inline constexpr int kBlowfishRounds = 16;

extern const std::uint32_t kBlowfishInitialP[kBlowfishRounds + 2];
extern const std::uint32_t kBlowfishInitialS[4][256];

}  // namespace palisade
