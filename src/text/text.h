#pragma once

// Text inside the program is GBK (code page 936) bytes. Lengths and positions count bytes, so a
// Chinese character counts two. Where an operation steps by characters, a byte of 0x80 or above is
// the lead byte of a two-byte character and is stepped over together with the byte after it; a lead
// byte at the very end of the text ends the stepping.
//
// Positions are 1-based, as in the program's own arithmetic; -1 means "not found".

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

using Text = std::string;
using TextList = std::vector<Text>;
using Position = std::int64_t;

// True when byte `c` starts a two-byte GBK character.
constexpr bool is_lead_byte(unsigned char c) {
    return c >= 0x80;
}

// 1-based position of the first occurrence of `part` at or after `start`, found only where a
// character begins (stepping starts at `start`); -1 when there is none. A `start` of 1 or less means
// the beginning, one beyond the last byte finds nothing. An empty `part` gives 1 while anything is
// left to search. `ignore_case` folds ASCII letters, never the second byte of a character.
Position position_of(std::string_view text, std::string_view part, Position start = 1, bool ignore_case = false);

// These three count bytes and may cut a two-byte character.
Text take_left(std::string_view text, Position n);                    // empty when n < 1
Text take_mid(std::string_view text, Position start, Position count); // empty outside the text
Position byte_length(std::string_view text);

// Every occurrence, left to right without overlap, where a character begins; inserted text is not
// searched again.
Text replace_all(std::string_view text, std::string_view old_part, std::string_view new_part);
// Each delimiter ends a piece, so empty pieces stay, but a text ending with the delimiter gives no
// empty last piece. An empty text gives no pieces, an empty delimiter the whole text.
TextList split_by(std::string_view text, std::string_view delimiter);

// Full-width digits, signs and spaces (rows A3 and A1) count as their ASCII forms; then leading
// white space, a sign and the digits up to the first other character. No digits give 0; values
// beyond the range saturate.
std::int64_t parse_integer(std::string_view text);
Text format_integer(std::int64_t n);

// The key of a history record: "2020年6月17日9时5分3秒" and its shorter forms, in local time.
Text format_timestamp(std::time_t t);

// True when stepping by characters ends on a lead byte with nothing after it: the text's last
// character is cut. Such a text must not be followed by a delimiter, which would become its second byte.
bool last_character_cut(std::string_view text);

// One line of a text whose lines end with CR LF, found by character stepping as split_by finds them
// (a lone CR or LF is part of a line). Offsets are 0-based byte offsets into the text.
struct LineSpan {
    std::size_t begin = 0;  // first byte of the line
    std::size_t length = 0; // bytes of the line, without its CR LF
    bool ended = false;     // followed by CR LF
};
// The lines of `text`, as split_by(text, "\r\n") cuts them: a final CR LF ends the last line and
// starts no empty one; an empty text has no lines.
std::vector<LineSpan> split_lines(std::string_view text);

// Byte offset of the first byte of 0x80 or above at or after `from` and before `limit`, or the
// smaller of `limit` and the size of the text: the end of a run of ASCII, in which every byte begins
// a character. Eight bytes are looked at a time, since data files are mostly ASCII and a history can
// run to megabytes.
std::size_t next_lead_byte(std::string_view text, std::size_t from, std::size_t limit = std::string_view::npos);

// Trims bytes 1 to 32 (blanks and control characters) from the ends.
std::string_view trim_blanks(std::string_view text);
std::string_view trim_leading_blanks(std::string_view text);

} // namespace lorvane
