#pragma once

// What the data_writer helper writes, shared with the tests that check its work, so that both sides
// name the same keys and values.

#include "text/text.h"

#include <string>

namespace lorvane::test {

// The crash test's writes cycle over this many history keys of a round: the first writes add
// entries, the later ones replace values, as a history that is browsed again and again.
inline constexpr int crash_keys_per_round = 40;

inline Text crash_key(int round, int write) {
    return "r" + std::to_string(round) + "-" + std::to_string(write % crash_keys_per_round);
}

// 标题 (a title in GBK), the write's number, then an address: a history value as the program writes it.
inline Text crash_value(int round, int write) {
    return "\xB1\xEA\xCC\xE2 " + std::to_string(round) + "." + std::to_string(write) +
           "|https://v.example/play?id=" + std::to_string(write) +
           "&filler=" + std::string(static_cast<std::size_t>(write % 97), 'x');
}

inline Text numbered_key(const std::string& prefix, int i) {
    return prefix + "-" + std::to_string(i);
}

inline Text link_address(const std::string& prefix, int i) {
    return "https://" + prefix + ".example/jx/?n=" + std::to_string(i) + "&url=";
}

inline Text history_value(const std::string& prefix, int i) {
    return "\xB1\xEA\xCC\xE2 " + prefix + " " + std::to_string(i) + "|https://v.example/" + prefix + "/" +
           std::to_string(i);
}

} // namespace lorvane::test
