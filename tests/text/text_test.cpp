#include "text/hex_print.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <limits>

namespace lorvane {
namespace {

using test::hex;

// GBK characters whose second byte is an ASCII character the helpers search for: 乕 (81 5B, "["),
// 乚 (81 5D, "]"), 丄 (81 41, "A"), 乤 (81 61, "a"). 81 3D is no GBK character, but stepping takes
// it as one, as it does every lead byte and the byte after it.
const std::string trail_bracket = "\x81[";
const std::string trail_close = "\x81]";
const std::string trail_upper_a = "\x81\x41";
const std::string trail_lower_a = "\x81\x61";
const std::string trail_equals = "\x81=";

std::string cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view p : parts) {
        out.append(p);
    }
    return out;
}

struct PositionRow {
    std::string text;
    std::string part;
    Position start;
    bool ignore_case;
    Position expected;
};
void PrintTo(const PositionRow& r, std::ostream* os) {
    *os << "text=" << testing::PrintToString(hex(r.text)) << " part=" << testing::PrintToString(hex(r.part))
        << " start=" << r.start << " ignore_case=" << r.ignore_case;
}

class PositionOf : public testing::TestWithParam<PositionRow> {};

TEST_P(PositionOf, findsFirstOccurrenceWhereACharacterBegins) {
    const PositionRow& r = GetParam();
    EXPECT_EQ(position_of(r.text, r.part, r.start, r.ignore_case), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PositionOf,
    testing::Values(PositionRow{"abcabc", "c", 1, false, 3}, PositionRow{"abcabc", "c", 4, false, 6},
                    PositionRow{"abcabc", "bc", 3, false, 5}, PositionRow{"abc", "bc", 1, false, 2},
                    PositionRow{"abc", "c", 0, false, 3}, PositionRow{"abc", "c", -7, false, 3},
                    PositionRow{"abc", "c", 3, false, 3}, PositionRow{"abc", "a", 4, false, -1},
                    PositionRow{"abc", "abcd", 1, false, -1}, PositionRow{"", "a", 1, false, -1},
                    // An empty part: 1 while anything is left to search.
                    PositionRow{"abc", "", 1, false, 1}, PositionRow{"abc", "", 3, false, 1},
                    PositionRow{"abc", "", 4, false, -1}, PositionRow{"", "", 1, false, -1},
                    // Second bytes of two-byte characters are never a match.
                    PositionRow{cat({trail_bracket}), "[", 1, false, -1},
                    PositionRow{cat({trail_bracket, "x["}), "[", 1, false, 4},
                    PositionRow{cat({trail_equals, "="}), "=", 1, false, 3},
                    PositionRow{cat({"\xD6\xD0", trail_close, "]"}), "]", 1, false, 5},
                    PositionRow{cat({trail_bracket, trail_bracket}), "[", 1, false, -1},
                    PositionRow{cat({"x", trail_bracket}), trail_bracket, 1, false, 2},
                    // Stepping starts at `start`, even inside a character.
                    PositionRow{cat({trail_bracket}), "[", 2, false, 2},
                    // A lead byte at the very end is the last character looked at.
                    PositionRow{"ab\x81", "\x81", 1, false, 3}, PositionRow{"a\x81", "b", 1, false, -1},
                    // Case counts unless asked otherwise; only ASCII letters fold, never a second byte.
                    PositionRow{"ABC", "b", 1, false, -1}, PositionRow{"ABC", "b", 1, true, 2},
                    PositionRow{"xaBc", "AbC", 1, true, 2}, PositionRow{"[A]", "[a]", 1, true, 1},
                    PositionRow{cat({trail_lower_a}), "A", 1, true, -1},
                    PositionRow{cat({trail_upper_a}), trail_lower_a, 1, true, -1},
                    PositionRow{cat({"x", trail_upper_a, "Y"}), cat({trail_upper_a, "y"}), 1, true, 2},
                    PositionRow{"a@", "A`", 1, true, -1}));

TEST(PositionOfSpeed, searchesMegabytesOfTwoByteTextInLinearTime) {
    constexpr int repeats = 4'000'000; // 8 MB of 中, then the part
    std::string text;
    text.reserve(2 * repeats + 4);
    for (int i = 0; i < repeats; ++i) {
        text.append("\xD6\xD0");
    }
    text.append("[x]");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(position_of(text, "[x]"), 2 * repeats + 1);
    EXPECT_EQ(position_of(text, "\xD6\xD0["), 2 * repeats - 1);
    EXPECT_EQ(position_of(text, "[y]"), -1);
    // Linear work here takes about a second even under the sanitizers; quadratic work takes minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(TakeLeft, countsBytesAndClampsToTheText) {
    EXPECT_EQ(hex(take_left("abc", 2)), hex("ab"));
    EXPECT_EQ(hex(take_left("abc", 9)), hex("abc"));
    EXPECT_EQ(hex(take_left("abc", 0)), hex(""));
    EXPECT_EQ(hex(take_left("abc", -3)), hex(""));
    EXPECT_EQ(hex(take_left("\xD6\xD0x", 1)), hex("\xD6")); // may cut a character
}

TEST(TakeMid, takesCountBytesFromStartCutAtTheEnd) {
    EXPECT_EQ(hex(take_mid("abcdef", 2, 3)), hex("bcd"));
    EXPECT_EQ(hex(take_mid("abcdef", 5, 10)), hex("ef"));
    EXPECT_EQ(hex(take_mid("abcdef", 6, 1)), hex("f"));
    EXPECT_EQ(hex(take_mid("abcdef", 7, 1)), hex(""));
    EXPECT_EQ(hex(take_mid("abcdef", 0, 2)), hex(""));
    EXPECT_EQ(hex(take_mid("abcdef", 2, 0)), hex(""));
    EXPECT_EQ(hex(take_mid("\xD6\xD0\xCE\xC4", 2, 2)), hex("\xD0\xCE"));
}

TEST(ByteLength, countsATwoByteCharacterTwice) {
    EXPECT_EQ(byte_length(""), 0);
    EXPECT_EQ(byte_length("\xD6\xD0"
                          "a"),
              3);
    EXPECT_EQ(byte_length(std::string_view("a\0b", 3)), 3);
}

struct ReplaceRow {
    std::string text, old_part, new_part, expected;
};
void PrintTo(const ReplaceRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.text)) << " old=" << testing::PrintToString(hex(r.old_part))
        << " new=" << testing::PrintToString(hex(r.new_part));
}

class ReplaceAll : public testing::TestWithParam<ReplaceRow> {};

TEST_P(ReplaceAll, replacesLeftToRightWithoutOverlap) {
    const ReplaceRow& r = GetParam();
    EXPECT_EQ(hex(replace_all(r.text, r.old_part, r.new_part)), hex(r.expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplaceAll,
                         testing::Values(ReplaceRow{"aaa", "a", "b", "bbb"}, ReplaceRow{"aaaa", "aa", "a", "aa"},
                                         ReplaceRow{"aaa", "aa", "x", "xa"}, ReplaceRow{"abc", "b", "bb", "abbc"},
                                         ReplaceRow{"aXa", "a", "", "X"}, ReplaceRow{"Aa", "a", "x", "Ax"},
                                         ReplaceRow{"", "a", "b", ""}, ReplaceRow{"abc", "", "x", "abc"},
                                         ReplaceRow{"abc", "z", "x", "abc"},
                                         ReplaceRow{cat({trail_bracket, "["}), "[", "(", cat({trail_bracket, "("})},
                                         ReplaceRow{"a\r\nb\r\n", "\r\n", "|", "a|b|"}));

struct SplitRow {
    std::string text, delimiter;
    TextList expected;
};
void PrintTo(const SplitRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.text)) << " by " << testing::PrintToString(hex(r.delimiter));
}

class SplitBy : public testing::TestWithParam<SplitRow> {};

TEST_P(SplitBy, keepsEmptyPiecesButNoEmptyLastOne) {
    const SplitRow& r = GetParam();
    EXPECT_EQ(hex(split_by(r.text, r.delimiter)), hex(r.expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, SplitBy,
                         testing::Values(SplitRow{"a,b", ",", {"a", "b"}}, SplitRow{",a", ",", {"", "a"}},
                                         SplitRow{"a,,b", ",", {"a", "", "b"}}, SplitRow{"a,", ",", {"a"}},
                                         SplitRow{"a,,", ",", {"a", ""}}, SplitRow{",", ",", {""}},
                                         SplitRow{"", ",", {}}, SplitRow{"abc", "", {"abc"}},
                                         SplitRow{"abc", ",", {"abc"}},
                                         SplitRow{"x\r\n\r\ny\r\n", "\r\n", {"x", "", "y"}},
                                         SplitRow{"a==b", "==", {"a", "b"}},
                                         SplitRow{cat({trail_bracket, "[b"}), "[", {cat({trail_bracket}), "b"}}));

struct IntegerRow {
    std::string text;
    std::int64_t expected;
};
void PrintTo(const IntegerRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.text));
}

class ParseInteger : public testing::TestWithParam<IntegerRow> {};

TEST_P(ParseInteger, readsLeadingDigitsAfterNarrowingFullWidthForms) {
    EXPECT_EQ(parse_integer(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseInteger,
    testing::Values(IntegerRow{"123", 123}, IntegerRow{"  -45x", -45}, IntegerRow{"+7", 7},
                    IntegerRow{"\t\r\n\v\f 9", 9}, IntegerRow{"12 34", 12}, IntegerRow{"abc", 0}, IntegerRow{"", 0},
                    IntegerRow{"-", 0}, IntegerRow{"- 5", 0}, IntegerRow{"007", 7},
                    IntegerRow{"\xA3\xB1\xA3\xB2\xA3\xB3", 123}, // １２３
                    IntegerRow{"\xA3\xAD\xA3\xB5", -5},          // －５
                    IntegerRow{"\xA3\xAB"
                               "8",
                               8}, // ＋8
                    IntegerRow{"\xA1\xA1\xA1\xA1"
                               "4\xA3\xB0",
                               40}, // ideographic spaces, 4０
                    IntegerRow{"1\xA1\xAB"
                               "2",
                               1}, // 1～2: "~" stops the digits
                    IntegerRow{"3\xA1\xEE", 3},
                    IntegerRow{"\xA1\xEF"
                               "3",
                               0}, // ☆ and ★ become "*"
                    IntegerRow{"\xA3\xA0"
                               "1",
                               0},                 // A3 A0 is outside the row
                    IntegerRow{"\xB0\xA3\xB1", 0}, // A3 B1 here is not a character: A3 is a second byte
                    IntegerRow{"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                    IntegerRow{"99999999999999999999", std::numeric_limits<std::int64_t>::max()},
                    IntegerRow{"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                    IntegerRow{"-99999999999999999999", std::numeric_limits<std::int64_t>::min()}));

TEST(FormatInteger, writesPlainDecimal) {
    EXPECT_EQ(format_integer(0), "0");
    EXPECT_EQ(format_integer(7), "7");
    EXPECT_EQ(format_integer(-12), "-12");
    EXPECT_EQ(format_integer(1234567), "1234567");
    EXPECT_EQ(format_integer(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

struct TimestampRow {
    std::time_t t;
    std::string expected_utf8;
};
void PrintTo(const TimestampRow& r, std::ostream* os) {
    *os << r.t << " -> " << r.expected_utf8;
}

class FormatTimestamp : public testing::TestWithParam<TimestampRow> {
protected:
    // Local time is UTC here so that the rows do not depend on the machine.
    static void SetUpTestSuite() {
        const char* tz = std::getenv("TZ");
        saved_tz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    static void TearDownTestSuite() {
        if (saved_tz_) {
            setenv("TZ", saved_tz_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    static inline std::optional<std::string> saved_tz_;
};

TEST_P(FormatTimestamp, writesTheDateAndTheTimeUpToItsLastPartThatIsNotZero) {
    EXPECT_EQ(hex(format_timestamp(GetParam().t)), hex(gbk(GetParam().expected_utf8)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatTimestamp,
    testing::Values(TimestampRow{1592384703, "2020年6月17日9时5分3秒"}, TimestampRow{1592384700, "2020年6月17日9时5分"},
                    TimestampRow{1592384400, "2020年6月17日9时"}, TimestampRow{1592352000, "2020年6月17日"},
                    TimestampRow{1592352007, "2020年6月17日0时0分7秒"}, TimestampRow{1609459260, "2021年1月1日0时1分"},
                    TimestampRow{946684799, "1999年12月31日23时59分59秒"}));

TEST(TrimBlanks, trimsBytesOneToThirtyTwoOnly) {
    EXPECT_EQ(hex(trim_blanks(" \t a b \r\n")), hex("a b"));
    EXPECT_EQ(hex(trim_blanks("\x01x\x20")), hex("x"));
    EXPECT_EQ(hex(trim_blanks("   ")), hex(""));
    EXPECT_EQ(hex(trim_blanks("!x!")), hex("!x!"));
    EXPECT_EQ(hex(trim_blanks(std::string_view("\0x\0", 3))), hex(std::string_view("\0x\0", 3)));
    EXPECT_EQ(hex(trim_blanks("\xA1\xA1x\xA1\xA1")), hex("\xA1\xA1x\xA1\xA1")); // ideographic space stays
    EXPECT_EQ(hex(trim_leading_blanks(" \x1F x ")), hex("x "));
    EXPECT_EQ(hex(trim_leading_blanks("")), hex(""));
}

TEST(LastCharacterCut, isTrueOnlyForALeadByteWithNothingAfterIt) {
    EXPECT_FALSE(last_character_cut(""));
    EXPECT_FALSE(last_character_cut("ab"));
    EXPECT_TRUE(last_character_cut("a\x81"));
    EXPECT_FALSE(last_character_cut("\x81\x81"));
    EXPECT_TRUE(last_character_cut("\x81\x81\x81"));
}

TEST(SplitLines, cutsAsSplitByDoesAndMarksEndedLines) {
    for (const std::string& text :
         {std::string("a\r\nb"), std::string("a\r\n"), std::string(""), std::string("a\nb\rc"), std::string("\r\n\r\n"),
          std::string("\r\nx"), std::string("k=\xD6\xD0\r\n[s]\r\n")}) {
        SCOPED_TRACE(testing::PrintToString(hex(text)));
        const std::vector<LineSpan> lines = split_lines(text);
        TextList pieces;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            pieces.push_back(text.substr(lines[i].begin, lines[i].length));
            const bool last = i + 1 == lines.size();
            EXPECT_EQ(lines[i].ended, !last || text.ends_with("\r\n"));
        }
        EXPECT_EQ(hex(pieces), hex(split_by(text, "\r\n")));
    }
}

TEST(SplitLines, takesACarriageReturnAfterALeadByteAsItsSecondByte) {
    const std::string text = "\x81\r\na\r\nb";
    const auto lines = split_lines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(hex(text.substr(lines[0].begin, lines[0].length)), hex("\x81\r\na"));
    EXPECT_TRUE(lines[0].ended);
    EXPECT_EQ(hex(text.substr(lines[1].begin, lines[1].length)), hex("b"));
    EXPECT_FALSE(lines[1].ended);
}

} // namespace
} // namespace lorvane
