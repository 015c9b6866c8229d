#pragma once

// A short account of where two large byte strings part, for failures that would otherwise print
// megabytes of hex.

#include "text/hex_print.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>

namespace lorvane::test {

inline std::string first_difference(std::string_view actual, std::string_view expected) {
    constexpr std::size_t context = 48;
    if (actual == expected) {
        return "equal";
    }
    const auto parted = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const auto at = static_cast<std::size_t>(parted.first - actual.begin());
    const std::size_t from = at < context ? 0 : at - context;
    std::ostringstream out;
    out << "sizes " << actual.size() << " and " << expected.size() << ", first difference at byte " << at
        << "\n  actual:   ";
    PrintTo(hex(actual.substr(from, 2 * context)), &out);
    out << "\n  expected: ";
    PrintTo(hex(expected.substr(from, 2 * context)), &out);
    return out.str();
}

} // namespace lorvane::test
