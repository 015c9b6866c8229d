#pragma once

// Text inside the program is GBK (code page 936) bytes. Lengths and positions count bytes, so a
// Chinese character counts two. Where an operation steps by characters, a byte of 0x80 or above is
// the lead byte of a two-byte character and is stepped over together with the byte after it; a lead
// byte at the very end of the text ends the stepping.
//
// Positions are 1-based, as in the program's own arithmetic; -1 means "not found".

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
constexpr bool is_lead_byte(unsigned char c) { return c >= 0x80; }

// 1-based position of the first occurrence of `part` at or after `start`, found only where a
// character begins; -1 when there is none. A `start` of 1 or less means the beginning.
Position position_of(std::string_view text, std::string_view part, Position start = 1, bool ignore_case = false);

Text take_left(std::string_view text, Position n);
Text take_mid(std::string_view text, Position start, Position count);
Position byte_length(std::string_view text);

Text replace_all(std::string_view text, std::string_view old_part, std::string_view new_part);
TextList split_by(std::string_view text, std::string_view delimiter);

std::int64_t parse_integer(std::string_view text);
Text format_integer(std::int64_t n);

// The key of a history record: "2020年6月17日9时5分3秒" and its shorter forms, in local time.
Text format_timestamp(std::time_t t);

// Trims bytes 1 to 32 (blanks and control characters) from the ends.
std::string_view trim_blanks(std::string_view text);
std::string_view trim_leading_blanks(std::string_view text);

} // namespace lorvane
