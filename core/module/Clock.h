#pragma once
// Time comes through this interface so that tests run instantly and reproducibly.

#include <cstdint>

namespace qmx {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970, for seeding the random generator.
    virtual std::int64_t secondsNow() const = 0;
    // The time in 100-nanosecond units since 1601 (names the replay work file).
    virtual std::uint64_t fileTimeNow() const = 0;
    // Waits (animation steps, pauses); a test clock returns at once.
    virtual void sleepMs(int ms) = 0;
};

// The real clock of this machine.
class SystemClock : public Clock {
public:
    std::int64_t secondsNow() const override;
    std::uint64_t fileTimeNow() const override;
    void sleepMs(int ms) override;
};

// A clock that stands still until told otherwise.
class FixedClock : public Clock {
public:
    explicit FixedClock(std::int64_t seconds = 1000000000) : m_seconds(seconds) {}
    std::int64_t secondsNow() const override { return m_seconds; }
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
