#include "core/module/Clock.h"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

namespace qmx {

std::int64_t SystemClock::secondsNow() const {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::uint32_t SystemClock::randomSeed() const {
    std::uint32_t seed = 0;
    for (;;) {
        const ssize_t n = getrandom(&seed, sizeof seed, 0);
        if (n == static_cast<ssize_t>(sizeof seed)) return seed;
        if (n < 0 && errno != EINTR) break;
    }
    // A kernel without getrandom: the library's own source of entropy.
    std::random_device device;
    return static_cast<std::uint32_t>(device());
}

std::uint64_t SystemClock::fileTimeNow() const {
    using namespace std::chrono;
    const auto since1970 =
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<std::uint64_t>(since1970 / 100) + 11644473600ull * 10000000ull;
}

void SystemClock::sleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace qmx
