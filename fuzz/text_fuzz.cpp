// The text helpers against plain byte-by-byte versions of the same rules, on the same input:
// position_of (both cases), take_left, take_mid, replace_all, split_by, split_lines, trim_blanks,
// last_character_cut, and parse_integer over format_integer.

#include "fuzz_support.h"

#include "text/text.h"

#include <cstring>
#include <limits>

namespace lorvane::fuzz {
namespace {

constexpr std::size_t max_part = 8;
constexpr std::size_t max_text = 2048;
constexpr Position position_slack = 4; // starts a little before and beyond the text, too

using ref::matches;

Position position_ref(std::string_view text, std::string_view part, Position start, bool ignore_case) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= text.size()) {
        return -1;
    }
    if (part.empty()) {
        return 1;
    }
    const std::size_t at = ref::find_case(text, part, from, ignore_case);
    return at == std::string_view::npos ? -1 : static_cast<Position>(at) + 1;
}

Text take_mid_ref(std::string_view text, Position start, Position count) {
    Text out;
    for (Position i = start; i < start + count && count > 0 && start >= 1; ++i) {
        if (i > static_cast<Position>(text.size())) {
            break;
        }
        out.push_back(text[static_cast<std::size_t>(i - 1)]);
    }
    return out;
}

// Walks the text once: at each character start either a match (replaced, then the walk goes on
// after it) or the character copied.
Text replace_ref(std::string_view text, std::string_view old_part, std::string_view new_part) {
    if (text.empty() || old_part.empty()) {
        return Text(text);
    }
    Text out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (matches(text, i, old_part, false)) {
            out.append(new_part);
            i += old_part.size();
        } else {
            const std::size_t step = ref::lead(text[i]) && i + 1 < text.size() ? 2 : 1;
            out.append(text.substr(i, step));
            i += step;
        }
    }
    return out;
}

TextList split_ref(std::string_view text, std::string_view delimiter) {
    TextList pieces;
    if (text.empty()) {
        return pieces;
    }
    if (delimiter.empty()) {
        return {Text(text)};
    }
    Text piece;
    std::size_t i = 0;
    while (i < text.size()) {
        if (matches(text, i, delimiter, false)) {
            pieces.push_back(piece);
            piece.clear();
            i += delimiter.size();
        } else {
            const std::size_t step = ref::lead(text[i]) && i + 1 < text.size() ? 2 : 1;
            piece.append(text.substr(i, step));
            i += step;
        }
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

void check(std::string_view text, std::string_view part, std::string_view other, Position start, Position count,
           bool ignore_case) {
    FUZZ_CHECK(position_of(text, part, start, ignore_case) == position_ref(text, part, start, ignore_case));
    FUZZ_CHECK(take_mid(text, start, count) == take_mid_ref(text, start, count));
    FUZZ_CHECK(take_left(text, count) == take_mid_ref(text, 1, count));
    FUZZ_CHECK(byte_length(text) == static_cast<Position>(text.size()));
    FUZZ_CHECK(replace_all(text, part, other) == replace_ref(text, part, other));
    FUZZ_CHECK(split_by(text, part) == split_ref(text, part));
    FUZZ_CHECK(last_character_cut(text) == ref::last_cut(text));
    FUZZ_CHECK(trim_blanks(text) == ref::trim(text));

    const TextList pieces = split_ref(text, "\r\n");
    const std::vector<LineSpan> lines = split_lines(text);
    FUZZ_CHECK(lines.size() == pieces.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(text.substr(lines[i].begin, lines[i].length) == pieces[i]);
        FUZZ_CHECK(lines[i].ended == (lines[i].begin + lines[i].length < text.size()));
    }
}

} // namespace
} // namespace lorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lorvane;
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    const std::string part = in.text(fuzz::max_part);
    const std::string other = in.text(fuzz::max_part);
    const auto start =
        static_cast<Position>(in.number(fuzz::max_text + 2 * fuzz::position_slack)) - fuzz::position_slack;
    const auto count = static_cast<Position>(in.number(fuzz::max_text)) - fuzz::position_slack;
    std::int64_t number = 0;
    const std::string number_bytes = in.take(sizeof number);
    std::memcpy(&number, number_bytes.data(), number_bytes.size());
    const std::string text = in.rest();

    fuzz::check(text, part, other, start, count, (flags & 1) != 0);
    // Extreme positions must not overflow.
    FUZZ_CHECK(take_mid(text, std::numeric_limits<Position>::max(), 1).empty());
    FUZZ_CHECK(take_mid(text, 1, std::numeric_limits<Position>::max()) == text);
    FUZZ_CHECK(position_of(text, part, std::numeric_limits<Position>::max()) == -1);
    FUZZ_CHECK(parse_integer(format_integer(number)) == number);
    return 0;
}
