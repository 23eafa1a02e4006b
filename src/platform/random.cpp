#include "platform/random.h"

#include <cmath>
#include <random>

namespace vb {
namespace {
std::mt19937_64& generator()
{
    static std::mt19937_64 engine{std::random_device{}()};
    return engine;
}
} // namespace

double Rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator());
}

int RndUpTo(int n)
{
    return static_cast<int>(std::floor(n * Rnd())) + 1;
}

void Randomize(std::uint64_t seed)
{
    generator().seed(seed);
}

} // namespace vb
