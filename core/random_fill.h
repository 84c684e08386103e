// Random fill of whole matrices from the per-thread generator.
#pragma once

#include <cstdint>

#include "core/basic_matrix.h"
#include "core/complex.h"

namespace corvane {

// One draw of the calling thread's generator (state starts at 1 on every
// thread): state = state × 214013 + 2531011 mod 2³², value (state >> 16) & 32767.
std::int32_t RandomDraw() noexcept;

// Every element becomes floor((r × step + low) × 10ⁿ + 0.5) × 10⁻ⁿ with
// step = (high − low) / 32768 and r a fresh draw (two per complex element,
// real part first). One draw is discarded first, on every call; an unsized
// matrix is left as it is and the call still succeeds.
Status FillRandom(BasicMatrix<double>& m, double lowLimit = 0.0, double highLimit = 10.0,
                  std::int16_t numDecimalPlaces = 0);
Status FillRandom(BasicMatrix<Complex>& m, double lowLimit = 0.0, double highLimit = 10.0,
                  std::int16_t numDecimalPlaces = 0);

}  // namespace corvane
