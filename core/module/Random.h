#pragma once
// The system's pseudo-random generator: state x 214013 + 2531011, each draw
// the bits 16-30 of the new state (0..32767). It is seeded anew before every
// roll, combat, deal and module identity draw, from the clock's random seed.

#include <cstdint>

#include "core/module/Clock.h"

namespace qmx {

class Random {
public:
    explicit Random(std::uint32_t seed = 1) : m_state(seed) {}
    void seed(std::uint32_t seed) { m_state = seed; }
    void seedFrom(const Clock& clock) { m_state = clock.randomSeed(); }
    int next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    std::uint32_t m_state;
};

}  // namespace qmx
