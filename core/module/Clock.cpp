#include "core/module/Clock.h"

#include <chrono>
#include <thread>

namespace qmx {

std::int64_t SystemClock::secondsNow() const {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
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
