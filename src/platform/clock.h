#pragma once

#include <ctime>
#include <functional>

namespace lorvane {

// The local clock. Tests fix the time through set_clock_for_tests; an empty function restores the real clock.
std::time_t current_time();
void set_clock_for_tests(std::function<std::time_t()> clock);

} // namespace lorvane
