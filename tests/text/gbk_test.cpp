#include "text/gbk.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <random>
#include <thread>

namespace lorvane {
namespace {

using test::hex;

constexpr std::string_view replacement = "\xEF\xBF\xBD"; // U+FFFD

struct Row {
    std::string from;
    std::string expected;
};
void PrintTo(const Row& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.from));
}

class Utf8ToGbk : public testing::TestWithParam<Row> {};

TEST_P(Utf8ToGbk, convertsAndMarksWhatGbkCannotHoldWithAQuestionMark) {
    EXPECT_EQ(hex(utf8_to_gbk(GetParam().from)), hex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, Utf8ToGbk,
                         testing::Values(Row{"", ""}, Row{"abc", "abc"}, Row{"中文", "\xD6\xD0\xCE\xC4"},
                                         Row{"€", "\x80"}, Row{"　～", "\xA1\xA1\xA1\xAB"},
                                         Row{"x😀y", "x?y"}, // not in GBK: one "?"
                                         Row{"a\xFF"
                                             "b",
                                             "a?b"},            // not UTF-8: one "?" a byte
                                         Row{"\xE4\xB8", "??"}, // cut at the end
                                         Row{"\xE4\xB8"
                                             "a",
                                             "??a"},                      // cut in the middle
                                         Row{"\xC0\x80", "??"},           // overlong
                                         Row{"\xED\xA0\x80", "???"},      // surrogate
                                         Row{"\xF4\x90\x80\x80", "????"}, // above U+10FFFF
                                         Row{std::string("a\0b", 3), std::string("a\0b", 3)}));

class GbkToUtf8 : public testing::TestWithParam<Row> {};

TEST_P(GbkToUtf8, convertsAndMarksInvalidBytesWithTheReplacementCharacter) {
    EXPECT_EQ(hex(gbk_to_utf8(GetParam().from)), hex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, GbkToUtf8,
                         testing::Values(Row{"", ""}, Row{"abc", "abc"}, Row{"\xD6\xD0\xCE\xC4", "中文"},
                                         Row{"\x80", "€"}, Row{"\x81[\x81]", "乕乚"},
                                         Row{"\xFF", std::string(replacement)},
                                         Row{"a\x81", "a" + std::string(replacement)},   // lead byte at the end
                                         Row{"\x81 x", std::string(replacement) + " x"}, // no valid second byte
                                         Row{"\xAA\xA1"
                                             "b",
                                             std::string(replacement) + "b"}, // unmapped pair: one character
                                         Row{std::string("a\0b", 3), std::string("a\0b", 3)}));

// Independent of the code under test: glibc's own decoder accepts the text as UTF-8.
bool is_valid_utf8(const std::string& s) {
    iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    char* in = const_cast<char*>(s.data());
    std::size_t in_left = s.size();
    std::string out(4 * s.size() + 4, '\0');
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const bool ok = iconv(cd, &in, &in_left, &dst, &dst_left) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok;
}

std::string random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(byte(gen));
    }
    return s;
}

TEST(GbkConversion, arbitraryBytesEndAndGiveValidOutput) {
    constexpr std::size_t size = 1 << 16;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const std::string bytes = random_bytes(size, seed);
        const std::string utf8 = gbk_to_utf8(bytes);
        EXPECT_TRUE(is_valid_utf8(utf8));
        const Text back = utf8_to_gbk(utf8);
        // Only the replacement characters fail to come back, each as one "?".
        std::string expected = utf8;
        for (std::size_t at = expected.find(replacement); at != std::string::npos;
             at = expected.find(replacement, at)) {
            expected.replace(at, replacement.size(), "?");
        }
        EXPECT_EQ(hex(gbk_to_utf8(back)), hex(expected));
        const Text gbk_of_random = utf8_to_gbk(bytes);
        EXPECT_FALSE(gbk_of_random.empty());
        EXPECT_LE(gbk_of_random.size(), bytes.size());
    }
}

TEST(GbkConversion, largeTextRoundTrips) {
    std::string utf8;
    for (int i = 0; i < 200'000; ++i) {
        utf8.append("历史记录 abc €");
    }
    EXPECT_EQ(gbk_to_utf8(utf8_to_gbk(utf8)), utf8);
}

TEST(GbkConversion, threadsConvertIndependently) {
    constexpr int thread_count = 4;
    constexpr int rounds = 2000;
    std::vector<std::thread> threads;
    std::vector<int> failures(thread_count, 0);
    for (int t = 0; t < thread_count; ++t) {
        threads.emplace_back([t, &failures] {
            const std::string utf8 = "可选组合链接" + std::to_string(t) + "\xFF";
            const Text expected = utf8_to_gbk(utf8);
            for (int i = 0; i < rounds; ++i) {
                if (utf8_to_gbk(utf8) != expected || gbk_to_utf8(expected) != gbk_to_utf8(utf8_to_gbk(utf8))) {
                    ++failures[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(thread_count, 0));
}

} // namespace
} // namespace lorvane
