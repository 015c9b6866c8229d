#include "platform/clock.h"

#include <mutex>
#include <utility>

namespace lorvane {

namespace {

std::mutex& clock_mutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<std::time_t()>& test_clock() {
    static std::function<std::time_t()> clock;
    return clock;
}

} // namespace

std::time_t current_time() {
    std::function<std::time_t()> clock;
    {
        const std::lock_guard lock(clock_mutex());
        clock = test_clock();
    }
    return clock ? clock() : std::time(nullptr);
}

void set_clock_for_tests(std::function<std::time_t()> clock) {
    const std::lock_guard lock(clock_mutex());
    test_clock() = std::move(clock);
}

} // namespace lorvane
