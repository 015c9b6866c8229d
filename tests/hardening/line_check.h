#pragma once

// Checks that a write changed a data file only by putting whole lines in: every line it had stays,
// byte for byte and in order. The one line a write may change is an unended last line, which gets
// its CR LF (losing a lead byte that stood last) before anything goes after it.

#include "text/text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace lorvane::test {

struct FileLines {
    std::vector<std::string_view> whole; // each line with its CR LF, as it stands in the file
    bool last_ended = true;
};

inline FileLines file_lines(std::string_view bytes) {
    FileLines out;
    for (const LineSpan& line : split_lines(bytes)) {
        out.whole.push_back(bytes.substr(line.begin, line.length + (line.ended ? 2 : 0)));
        out.last_ended = line.ended;
    }
    return out;
}

// The lines `after` holds besides those of `before`, when they stand together in one place and
// every line of `before` is still there; nothing otherwise.
inline std::optional<std::vector<std::string>> added_lines(std::string_view before, std::string_view after) {
    const FileLines old = file_lines(before);
    const FileLines now = file_lines(after);
    for (const bool end_last : {false, true}) {
        std::vector<std::string_view> kept = old.whole;
        std::string ended_last;
        if (end_last) {
            if (old.last_ended || kept.empty()) {
                break;
            }
            ended_last = kept.back().substr(0, kept.back().size() - (last_character_cut(kept.back()) ? 1 : 0));
            ended_last += "\r\n";
            kept.back() = ended_last;
        }
        if (now.whole.size() < kept.size()) {
            continue;
        }
        const std::size_t added = now.whole.size() - kept.size();
        // The common beginning and end; the lines put in stand between them.
        const auto prefix = static_cast<std::size_t>(
            std::mismatch(kept.begin(), kept.end(), now.whole.begin(), now.whole.end()).first - kept.begin());
        const auto suffix = static_cast<std::size_t>(
            std::mismatch(kept.rbegin(), kept.rend(), now.whole.rbegin(), now.whole.rend()).first - kept.rbegin());
        if (prefix + suffix < kept.size() || (end_last && prefix != kept.size())) {
            continue;
        }
        const auto from = now.whole.begin() + static_cast<std::ptrdiff_t>(prefix);
        return std::vector<std::string>(from, from + static_cast<std::ptrdiff_t>(added));
    }
    return std::nullopt;
}

} // namespace lorvane::test
