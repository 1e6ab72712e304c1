#pragma once
// Time and chance come through this interface so that tests run instantly and
// reproducibly.

#include <cstdint>

namespace qmx {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970.
    virtual std::int64_t secondsNow() const = 0;
    // A fresh seed for the random generator, taken before every roll, combat,
    // deal and module identity. The system clock takes it from the operating
    // system's random source, so no roll can be foretold from the time or
    // from the rolls before it.
    virtual std::uint32_t randomSeed() const = 0;
    // The time in 100-nanosecond units since 1601 (names the replay work file).
    virtual std::uint64_t fileTimeNow() const = 0;
    // Waits (animation steps, pauses); a test clock returns at once.
    virtual void sleepMs(int ms) = 0;
};

// The real clock of this machine.
class SystemClock : public Clock {
public:
    std::int64_t secondsNow() const override;
    std::uint32_t randomSeed() const override;
    std::uint64_t fileTimeNow() const override;
    void sleepMs(int ms) override;
};

// A clock that stands still until told otherwise; its seed is its second, so
// a test's rolls are the same every run.
class FixedClock : public Clock {
public:
    explicit FixedClock(std::int64_t seconds = 1000000000) : m_seconds(seconds) {}
    std::int64_t secondsNow() const override { return m_seconds; }
    std::uint32_t randomSeed() const override { return static_cast<std::uint32_t>(m_seconds); }
    std::uint64_t fileTimeNow() const override {
        return (static_cast<std::uint64_t>(m_seconds) + 11644473600ull) * 10000000ull;
    }
    void sleepMs(int ms) override { m_slept += ms; }
    void set(std::int64_t seconds) { m_seconds = seconds; }
    std::int64_t slept() const { return m_slept; }

private:
    std::int64_t m_seconds;
    std::int64_t m_slept = 0;
};

}  // namespace qmx
