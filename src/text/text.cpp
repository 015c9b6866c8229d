#include "text/text.h"

#include "text/gbk.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace lorvane {

namespace {

// Bytes 1 to 32: blanks and control characters, as the program has always trimmed them. Byte 0 is
// not a blank: inside a Text it is an ordinary byte.
constexpr bool is_blank(unsigned char c) {
    return c >= 1 && c <= 32;
}

constexpr unsigned char fold_ascii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Steps from byte offset `i` to the next character: a lead byte takes the byte after it along.
// Returns a value past `n` when a lead byte stands last, which ends every stepping loop.
constexpr std::size_t next_char(std::string_view text, std::size_t i) {
    return is_lead_byte(static_cast<unsigned char>(text[i])) ? i + 2 : i + 1;
}

// `part` at byte offset `at` of `text`, ASCII letters folded where `part` has a character start.
// The caller has checked that the bytes fit.
bool matches_at(std::string_view text, std::size_t at, std::string_view part, bool ignore_case) {
    if (!ignore_case) {
        return std::memcmp(text.data() + at, part.data(), part.size()) == 0;
    }
    std::size_t j = 0;
    while (j < part.size()) {
        const auto p = static_cast<unsigned char>(part[j]);
        const auto t = static_cast<unsigned char>(text[at + j]);
        if (is_lead_byte(p)) {
            // The trail byte is never folded: 0x41..0x5A there belong to the character.
            if (p != t || (j + 1 < part.size() && part[j + 1] != text[at + j + 1])) {
                return false;
            }
            j += 2;
        } else {
            if (fold_ascii(p) != fold_ascii(t)) {
                return false;
            }
            ++j;
        }
    }
    return true;
}

} // namespace

std::size_t next_lead_byte(std::string_view text, std::size_t from, std::size_t limit) {
    constexpr std::uint64_t high_bits = 0x8080808080808080;
    constexpr std::size_t word = sizeof(std::uint64_t);
    const std::size_t end = std::min(limit, text.size());
    std::size_t i = from;
    for (std::uint64_t bytes = 0; i + word <= end; i += word) {
        std::memcpy(&bytes, text.data() + i, word);
        if ((bytes & high_bits) != 0) {
            break;
        }
    }
    while (i < end && !is_lead_byte(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return i;
}

namespace {

// Byte offset of the first `part` at or after `from`, stepping by characters; npos when none.
std::size_t find_from(std::string_view text, std::string_view part, std::size_t from, bool ignore_case) {
    if (part.empty() || part.size() > text.size()) {
        return std::string_view::npos;
    }
    if (ignore_case) {
        const std::size_t last = text.size() - part.size();
        const unsigned char first_folded = fold_ascii(static_cast<unsigned char>(part[0]));
        for (std::size_t i = from; i <= last; i = next_char(text, i)) {
            // The first byte decides most positions, so the full comparison runs rarely.
            if (fold_ascii(static_cast<unsigned char>(text[i])) == first_folded && matches_at(text, i, part, true)) {
                return i;
            }
        }
        return std::string_view::npos;
    }
    // The library's search finds the next match at any byte; stepping by characters up to it tells
    // whether a character begins there. No match begins before the one found, so each byte is
    // searched once and stepped over once.
    std::size_t i = from;
    for (std::size_t candidate = text.find(part, i); candidate != std::string_view::npos;
         candidate = text.find(part, i)) {
        while (i < candidate) {
            i = next_lead_byte(text, i, candidate);
            if (i < candidate) {
                i += 2; // a lead byte takes the byte after it along
            }
        }
        if (i == candidate) {
            return candidate;
        }
        // The match began with the second byte of a character: search on after that character.
    }
    return std::string_view::npos;
}

// Clamps a 1-based position to a byte offset: 1 or less is the beginning.
std::size_t offset_of(Position start) {
    return start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
}

} // namespace

Position position_of(std::string_view text, std::string_view part, Position start, bool ignore_case) {
    const std::size_t from = offset_of(start);
    if (from >= text.size()) {
        return -1;
    }
    if (part.empty()) {
        return 1;
    }
    const std::size_t at = find_from(text, part, from, ignore_case);
    return at == std::string_view::npos ? -1 : static_cast<Position>(at) + 1;
}

Text take_left(std::string_view text, Position n) {
    if (n < 1) {
        return {};
    }
    return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text take_mid(std::string_view text, Position start, Position count) {
    if (start < 1 || start > byte_length(text) || count < 1) {
        return {};
    }
    return Text(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

Position byte_length(std::string_view text) {
    return static_cast<Position>(text.size());
}

Text replace_all(std::string_view text, std::string_view old_part, std::string_view new_part) {
    if (text.empty() || old_part.empty()) {
        return Text(text);
    }
    Text out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t at = find_from(text, old_part, 0, false); at != std::string_view::npos;
         at = find_from(text, old_part, copied, false)) {
        out.append(text.substr(copied, at - copied));
        out.append(new_part);
        copied = at + old_part.size();
    }
    out.append(text.substr(copied));
    return out;
}

TextList split_by(std::string_view text, std::string_view delimiter) {
    TextList pieces;
    if (text.empty()) {
        return pieces;
    }
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t piece_start = 0;
    for (std::size_t at = find_from(text, delimiter, 0, false); at != std::string_view::npos;
         at = find_from(text, delimiter, piece_start, false)) {
        pieces.emplace_back(text.substr(piece_start, at - piece_start));
        piece_start = at + delimiter.size();
    }
    if (piece_start < text.size()) {
        pieces.emplace_back(text.substr(piece_start));
    }
    return pieces;
}

bool last_character_cut(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        i = next_char(text, i);
    }
    return i > text.size();
}

std::vector<LineSpan> split_lines(std::string_view text) {
    constexpr std::string_view line_end = "\r\n";
    std::vector<LineSpan> lines;
    std::size_t begin = 0;
    for (std::size_t at = find_from(text, line_end, 0, false); at != std::string_view::npos;
         at = find_from(text, line_end, begin, false)) {
        lines.push_back({begin, at - begin, true});
        begin = at + line_end.size();
    }
    if (begin < text.size()) {
        lines.push_back({begin, text.size() - begin, false});
    }
    return lines;
}

namespace {

constexpr unsigned char full_width_row = 0xA3;    // A3 A1..A3 FE: full-width ASCII
constexpr unsigned char symbol_row = 0xA1;        // A1 xx: punctuation and symbols
constexpr unsigned char ideographic_space = 0xA1; // A1 A1
constexpr unsigned char wave_dash = 0xAB;         // A1 AB
constexpr unsigned char white_star = 0xEE;        // A1 EE
constexpr unsigned char black_star = 0xEF;        // A1 EF
constexpr unsigned char high_bit = 0x80;

// Full-width forms that users type with a Chinese input method, mapped to their ASCII counterparts.
Text narrow_full_width(std::string_view text) {
    Text out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (!is_lead_byte(lead) || i + 1 >= text.size()) {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == full_width_row && trail >= 0xA1 && trail <= 0xFE) {
            out.push_back(static_cast<char>(trail & ~high_bit));
        } else if (lead == symbol_row && trail == ideographic_space) {
            out.push_back(' ');
        } else if (lead == symbol_row && trail == wave_dash) {
            out.push_back('~');
        } else if (lead == symbol_row && (trail == white_star || trail == black_star)) {
            out.push_back('*');
        } else {
            out.append(text.substr(i, 2));
        }
        i += 2;
    }
    return out;
}

constexpr bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

std::int64_t parse_integer(std::string_view text) {
    const Text narrow = narrow_full_width(text);
    std::size_t i = 0;
    while (i < narrow.size() && is_c_space(narrow[i])) {
        ++i;
    }
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) {
        negative = narrow[i] == '-';
        ++i;
    }
    // Accumulate towards the sign so that the most negative value fits; saturate beyond the range.
    constexpr std::int64_t low = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < narrow.size() && narrow[i] >= '0' && narrow[i] <= '9'; ++i) {
        const int digit = narrow[i] - '0';
        if (negative) {
            value = (value < (low + digit) / 10) ? low : value * 10 - digit;
        } else {
            value = (value > (high - digit) / 10) ? high : value * 10 + digit;
        }
    }
    return value;
}

Text format_integer(std::int64_t n) {
    constexpr std::size_t max_digits = 24;
    char buffer[max_digits];
    const auto result = std::to_chars(buffer, buffer + max_digits, n);
    return Text(buffer, result.ptr);
}

Text format_timestamp(std::time_t t) {
    static const Text year = gbk("年");
    static const Text month = gbk("月");
    static const Text day = gbk("日");
    static const Text hour = gbk("时");
    static const Text minute = gbk("分");
    static const Text second = gbk("秒");
    constexpr int base_year = 1900;

    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    Text out = format_integer(local.tm_year + base_year) + year + format_integer(local.tm_mon + 1) + month +
               format_integer(local.tm_mday) + day;
    // The time is written only as far as its last part that is not zero.
    if (local.tm_sec != 0) {
        out += format_integer(local.tm_hour) + hour + format_integer(local.tm_min) + minute +
               format_integer(local.tm_sec) + second;
    } else if (local.tm_min != 0) {
        out += format_integer(local.tm_hour) + hour + format_integer(local.tm_min) + minute;
    } else if (local.tm_hour != 0) {
        out += format_integer(local.tm_hour) + hour;
    }
    return out;
}

std::string_view trim_leading_blanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_blank(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return text.substr(i);
}

std::string_view trim_blanks(std::string_view text) {
    text = trim_leading_blanks(text);
    std::size_t n = text.size();
    while (n > 0 && is_blank(static_cast<unsigned char>(text[n - 1]))) {
        --n;
    }
    return text.substr(0, n);
}

} // namespace lorvane
