// decode_utf8_to_gbk: what becomes of valid UTF-8, of each kind of ill-formed sequence, of a zero
// character and of characters GBK lacks.

#include "text/gbk.h"
#include "web/web.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace lorvane {
namespace {

struct DecodeCase {
    const char* name;
    std::string utf8;
    std::string gbk;
};

// Failures name the row, not its bytes.
void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesGbk) {
    EXPECT_EQ(decode_utf8_to_gbk(GetParam().utf8), GetParam().gbk);
}

// "?" stands for each U+FFFD: one per maximal ill-formed subpart.
INSTANTIATE_TEST_SUITE_P(
    Bodies, Decode,
    ::testing::Values(
        DecodeCase{"empty", "", ""}, DecodeCase{"ascii", "Abc 123\r\n", "Abc 123\r\n"},
        DecodeCase{"chinese", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
        DecodeCase{"euro_is_0x80", "\xE2\x82\xAC", "\x80"}, DecodeCase{"middle_dot", "\xC2\xB7", "\xA1\xA4"},
        DecodeCase{"stray_continuation", "a\x80z", "a?z"}, DecodeCase{"two_stray_continuations", "\x80\xBF", "??"},
        DecodeCase{"c0_overlong", "\xC0\xAF", "??"}, DecodeCase{"c1_overlong", "\xC1\xBF", "??"},
        DecodeCase{"e0_overlong", "\xE0\x80\xAF", "???"}, DecodeCase{"f0_overlong", "\xF0\x80\x80\xAF", "????"},
        DecodeCase{"overlong_zero_does_not_end", "\xC0\x80x", "??x"}, DecodeCase{"surrogate", "\xED\xA0\x80", "???"},
        DecodeCase{"low_surrogate", "\xED\xBF\xBF", "???"}, DecodeCase{"above_10ffff", "\xF4\x90\x80\x80", "????"},
        DecodeCase{"f5_lead", "\xF5\x80\x80\x80", "????"},
        DecodeCase{"ff_byte",
                   "a\xFF"
                   "b",
                   "a?b"},
        DecodeCase{"truncated_three_at_end", "a\xE4\xB8", "a?"},
        DecodeCase{"truncated_four_at_end", "\xF0\x9F\x98", "?"}, DecodeCase{"truncated_then_ascii", "\xE4\xB8z", "?z"},
        DecodeCase{"truncated_then_valid", "\xE4\xE4\xB8\xAD", "?\xD6\xD0"},
        DecodeCase{"unicode_example",
                   "a\xF1\x80\x80\xE1\x80\xC2"
                   "b\x80"
                   "c\x80\xBF"
                   "d",
                   "a???b?c??d"},
        DecodeCase{"bom_is_kept", "\xEF\xBB\xBF<html>", "?<html>"},
        DecodeCase{"replacement_character", "\xEF\xBF\xBD", "?"},
        DecodeCase{"emoji_outside_gbk", "x\xF0\x9F\x98\x80y", "x?y"},
        DecodeCase{"hangul_outside_gbk", "\xED\x95\x9C", "?"},
        DecodeCase{"no_break_space_outside_gbk",
                   "a\xC2\xA0"
                   "b",
                   "a?b"},
        DecodeCase{"zero_ends_text", std::string("ab\0cd", 5), "ab"},
        DecodeCase{"zero_first", std::string("\0ab", 3), ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Every two-byte GBK character the converter knows, written in UTF-8, comes back as the same bytes.
TEST(DecodeAllGbk, ValidUtf8OfEveryGbkCharacter_comesBackUnchanged) {
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = gbk_to_utf8(pair);
            if (utf8 == "\xEF\xBF\xBD") {
                continue; // no character there (user-defined areas)
            }
            ++checked;
            ASSERT_EQ(decode_utf8_to_gbk(utf8), pair) << std::hex << lead << " " << trail;
        }
    }
    EXPECT_GT(checked, 20000);
}

} // namespace
} // namespace lorvane
