#pragma once
#include <random>

namespace kvr {

// The calling thread's own Mersenne twister (32-bit), seeded from std::random_device at its first use
// on that thread. Never shared between threads, so it needs no lock.
std::mt19937& gf_randomEngine();

} // namespace kvr
