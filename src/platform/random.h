#pragma once
// The program's one random generator, seeded once at start; tests seed it to
// replay a run.
#include <cstdint>

namespace vb {

// A number r with 0 <= r < 1.
double Rnd();
// A whole number from 1 to n, drawn as floor(n * Rnd()) + 1.
int RndUpTo(int n);
// Restarts the generator from a seed.
void Randomize(std::uint64_t seed);

} // namespace vb
