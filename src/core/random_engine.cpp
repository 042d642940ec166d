#include "core/random_engine.h"

#include <array>

namespace kvr {

namespace {

std::mt19937 lf_seededEngine() {
    // One 32-bit seed would reach only 2^32 of the engine's states; fill more of them.
    std::random_device device;
    std::array<std::random_device::result_type, 8> words{};
    for (auto& word : words)
        word = device();
    std::seed_seq seeds(words.begin(), words.end());
    return std::mt19937(seeds);
}

} // namespace

std::mt19937& gf_randomEngine() {
    thread_local std::mt19937 engine = lf_seededEngine();
    return engine;
}

} // namespace kvr
