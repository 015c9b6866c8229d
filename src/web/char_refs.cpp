#include "web/decode_internal.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace lorvane::web_detail {
namespace {

constexpr char32_t replacement_character = 0xFFFD;
constexpr char32_t last_code_point = 0x10FFFF;
constexpr std::size_t longest_name = 8;

struct NamedReference {
    std::string_view name;
    char32_t code_point;
};

// The references page titles use; sorted by name for the binary search.
constexpr std::array<NamedReference, 23> named_references{{
    {"amp", 0x26},      {"apos", 0x27},    {"bull", 0x2022},  {"copy", 0xA9},    {"divide", 0xF7}, {"gt", 0x3E},
    {"hellip", 0x2026}, {"laquo", 0xAB},   {"ldquo", 0x201C}, {"lsquo", 0x2018}, {"lt", 0x3C},     {"mdash", 0x2014},
    {"middot", 0xB7},   {"nbsp", 0xA0},    {"ndash", 0x2013}, {"quot", 0x22},    {"raquo", 0xBB},  {"rdquo", 0x201D},
    {"reg", 0xAE},      {"rsquo", 0x2019}, {"times", 0xD7},   {"trade", 0x2122}, {"yen", 0xA5},
}};
static_assert(std::is_sorted(named_references.begin(), named_references.end(),
                             [](const NamedReference& a, const NamedReference& b) { return a.name < b.name; }));

// Numeric references 0x80 to 0x9F mean the Windows-1252 characters of those bytes, as pages written
// on Windows intend and browsers show them; 0 leaves the control character as it is.
constexpr std::array<char32_t, 32> windows_1252_high{{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
}};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

int hex_value(char c) {
    if (is_digit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool is_name_char(char c) {
    return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What a numeric reference stands for: zero, surrogates and values beyond Unicode are U+FFFD.
char32_t numeric_meaning(std::uint32_t value) {
    if (value == 0 || value > last_code_point || (value >= 0xD800 && value <= 0xDFFF)) {
        return replacement_character;
    }
    if (value >= 0x80 && value <= 0x9F && windows_1252_high[value - 0x80] != 0) {
        return windows_1252_high[value - 0x80];
    }
    return value;
}

// Decodes the reference at `text[at]` ("&"); returns the length it spans, or 0 when it is none.
std::size_t decode_one(std::string_view text, std::size_t at, std::string& out) {
    std::size_t i = at + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        i += hex ? 1 : 0;
        const std::uint32_t base = hex ? 16 : 10;
        const std::size_t digits_start = i;
        std::uint32_t value = 0;
        while (i < text.size()) {
            const int digit = hex ? hex_value(text[i]) : (is_digit(text[i]) ? text[i] - '0' : -1);
            if (digit < 0) {
                break;
            }
            // Saturate: any value past Unicode means the same.
            value = std::min<std::uint32_t>(value * base + static_cast<std::uint32_t>(digit), last_code_point + 1);
            ++i;
        }
        if (i == digits_start || i >= text.size() || text[i] != ';') {
            return 0;
        }
        append_utf8(out, numeric_meaning(value));
        return i + 1 - at;
    }
    const std::size_t name_start = i;
    while (i < text.size() && i - name_start <= longest_name && is_name_char(text[i])) {
        ++i;
    }
    if (i >= text.size() || text[i] != ';') {
        return 0;
    }
    const std::string_view name = text.substr(name_start, i - name_start);
    const auto found = std::lower_bound(named_references.begin(), named_references.end(), name,
                                        [](const NamedReference& r, std::string_view n) { return r.name < n; });
    if (found == named_references.end() || found->name != name) {
        return 0;
    }
    append_utf8(out, found->code_point);
    return i + 1 - at;
}

} // namespace

std::string decode_character_references(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t amp = utf8.find('&', at);
        if (amp == std::string_view::npos) {
            out.append(utf8.substr(at));
            break;
        }
        out.append(utf8.substr(at, amp - at));
        const std::size_t length = decode_one(utf8, amp, out);
        if (length == 0) {
            out.push_back('&');
            at = amp + 1;
        } else {
            at = amp + length;
        }
    }
    return out;
}

} // namespace lorvane::web_detail
