#pragma once

// Decoding steps shared by the files of web/; not part of its interface.

#include <string>
#include <string_view>

namespace lorvane::web_detail {

// White space in markup: space, tab, line feed, carriage return and form feed.
constexpr bool is_html_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

constexpr char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The UTF-8 form of U+FFFD, which stands in for every byte sequence that cannot be decoded.
inline constexpr std::string_view replacement_utf8 = "\xEF\xBF\xBD";

// `bytes` as well-formed UTF-8: each maximal ill-formed subpart (an overlong form, a surrogate, a
// code point above U+10FFFF, a stray continuation byte, a sequence cut short) becomes one U+FFFD.
// The result ends before the first zero character.
std::string valid_utf8_until_zero(std::string_view bytes);

// A page body as well-formed UTF-8, ending before its first zero character: converted from GBK or
// GB18030 when a meta element within its first 4 KiB declares one of them, else decoded as UTF-8.
std::string page_to_utf8(std::string_view body);

// Appends the UTF-8 form of `code_point` (a scalar value) to `out`.
void append_utf8(std::string& out, char32_t code_point);

// Character references decoded: the named ones the program knows and every numeric one, written
// with their ";". Anything else that starts with "&" stays as written.
std::string decode_character_references(std::string_view utf8);

} // namespace lorvane::web_detail
