#include "platform/profile.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <chrono>

namespace lorvane::profile {
namespace {

using test::hex;
using namespace std::string_literals;
using namespace std::string_view_literals;

std::optional<test::HexText> hex_value(const std::optional<Text>& value) {
    return value ? std::optional<test::HexText>(hex(*value)) : std::nullopt;
}

// 丄 (81 41) and 乤 (81 61) differ only in an ASCII letter as second byte; 乕 (81 5B) and 乚 (81 5D)
// end in "[" and "]". 81 3D is no GBK character but is stepped over as one, "=" and all.

struct LookupRow {
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};
void PrintTo(const LookupRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.file)) << " [" << testing::PrintToString(hex(r.section)) << "] "
        << testing::PrintToString(hex(r.key));
}

class DocumentValue : public testing::TestWithParam<LookupRow> {};

TEST_P(DocumentValue, findsTheFirstMatchingKeyOfTheFirstMatchingSection) {
    const LookupRow& r = GetParam();
    EXPECT_EQ(hex_value(Document(r.file).value(r.section, r.key)), hex_value(r.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DocumentValue,
    testing::Values(
        LookupRow{"[s]\r\nk=v\r\n", "s", "k", "v"}, LookupRow{"[s]\r\nk=v", "s", "k", "v"},
        LookupRow{"", "s", "k", std::nullopt}, LookupRow{"[s]\r\nk=v\r\n", "t", "k", std::nullopt},
        LookupRow{"[s]\r\nk=v\r\n", "s", "j", std::nullopt},
        // Names match without regard to ASCII case; a second byte is never folded.
        LookupRow{"[Links]\r\nName=v\r\n", "LINKS", "nAME", "v"},
        LookupRow{"[s]\r\n\x81\x41=upper\r\n\x81\x61=lower\r\n", "s", "\x81\x61", "lower"},
        LookupRow{"[s]\r\n\x81\x41=upper\r\n", "S", "\x81\x61", std::nullopt},
        LookupRow{"[\x81\x41]\r\nk=v\r\n", "\x81\x61", "k", std::nullopt},
        // Keys and values are trimmed of bytes 1 to 32; quotes stay; the argument is trimmed too.
        LookupRow{"[s]\r\n \t k \x01=  v v \x1F\r\n", "s", "k", "v v"},
        LookupRow{"[s]\r\nk=\"v\"\r\n", "s", " k ", "\"v\""}, LookupRow{"[s]\r\nk=\r\n", "s", "k", ""},
        LookupRow{"[s]\r\nk=v\r\n", " s\t", "k", "v"},
        // The section name stands as written between the brackets.
        LookupRow{"[ s ]\r\nk=v\r\n", "s", "k", std::nullopt}, LookupRow{"[s]junk\r\nk=v\r\n", "s", "k", "v"},
        LookupRow{"[t\r\nk=v\r\n", "t", "k", "v"}, LookupRow{"[\x81]x]\r\nk=v\r\n", "\x81]x", "k", "v"},
        // The first section of a name and the first key of a name in it count.
        LookupRow{"[s]\r\na=1\r\n[S]\r\na=2\r\nb=3\r\n", "s", "a", "1"},
        LookupRow{"[s]\r\na=1\r\n[S]\r\na=2\r\nb=3\r\n", "s", "b", std::nullopt},
        LookupRow{"[s]\r\na=1\r\nA=2\r\n", "s", "a", "1"},
        // Only a line whose first byte is "[" is a header, and every such line ends the section.
        LookupRow{" [s]\r\nk=v\r\n", "s", "k", std::nullopt}, LookupRow{"[s]\r\n[t\r\nk=v\r\n", "s", "k", std::nullopt},
        LookupRow{"k=v\r\n[s]\r\n", "s", "k", std::nullopt}, LookupRow{"[s]\r\n\x81[k=v\r\n", "s", "\x81[k", "v"},
        // "=" is found by character stepping; lines without one are ignored.
        LookupRow{"[s]\r\n\x81==v\r\n", "s", "\x81=", "v"}, LookupRow{"[s]\r\nnoise\r\nk=v\r\n", "s", "k", "v"},
        LookupRow{"[s]\r\nk=a=b\r\n", "s", "k", "a=b"}, LookupRow{"[s]\r\n=v\r\n", "s", "", std::nullopt},
        LookupRow{"[]\r\nk=v\r\n", "", "k", std::nullopt},
        // Only CR LF ends a line: a lone LF or CR is a byte of it.
        LookupRow{"[s]\r\nk=v\nj=w\r\n", "s", "k", "v\nj=w"}, LookupRow{"[s]\r\nk=v\nj=w\r\n", "s", "j", std::nullopt},
        LookupRow{"[s]\r\nk=v\rj=w\r\n", "s", "k", "v\rj=w"},
        LookupRow{"[s]\r\nk=\x81\r\nj=w\r\n", "s", "j", std::nullopt},
        LookupRow{"[s]\r\nk=a\0b\r\n"s, "s", "k", "a\0b"s}));

struct ChangeRow {
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};
void PrintTo(const ChangeRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.before)) << " [" << testing::PrintToString(hex(r.section)) << "] "
        << testing::PrintToString(hex(r.key)) << "=" << testing::PrintToString(hex(r.value));
}

class DocumentSetValue : public testing::TestWithParam<ChangeRow> {};

TEST_P(DocumentSetValue, writesTheEntryAndLeavesEveryOtherLineAsItWas) {
    const ChangeRow& r = GetParam();
    Document document(r.before);
    ASSERT_TRUE(document.set_value(r.section, r.key, r.value));
    EXPECT_EQ(hex(document.bytes()), hex(r.after));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DocumentSetValue,
    testing::Values(
        ChangeRow{"", "s", "k", "v", "[s]\r\nk=v\r\n"}, ChangeRow{"", "s", "k", "", "[s]\r\nk=\r\n"},
        // A new key goes after the section's last entry, before blank or odd lines at its end.
        ChangeRow{"[s]\r\na=1\r\n\r\n;c\r\n[t]\r\nx=1\r\n", "s", "b", "2",
                  "[s]\r\na=1\r\nb=2\r\n\r\n;c\r\n[t]\r\nx=1\r\n"},
        ChangeRow{"[s]\r\n[t]\r\n", "s", "k", "v", "[s]\r\nk=v\r\n[t]\r\n"},
        ChangeRow{"[s]\r\n\r\n", "s", "k", "v", "[s]\r\nk=v\r\n\r\n"},
        // A new section goes at the end; a last line without CR LF gets one first.
        ChangeRow{"[s]\r\na=1\r\n", "t", "k", "v", "[s]\r\na=1\r\n[t]\r\nk=v\r\n"},
        ChangeRow{"[s]\r\na=1", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n"},
        ChangeRow{"[s]\r\na=1", "t", "k", "v", "[s]\r\na=1\r\n[t]\r\nk=v\r\n"},
        ChangeRow{"[s]", "s", "k", "v", "[s]\r\nk=v\r\n"}, ChangeRow{";x", "s", "k", "v", ";x\r\n[s]\r\nk=v\r\n"},
        // A lead byte standing last would swallow that CR, so it goes.
        ChangeRow{"[s]\r\na=\xD6", "s", "b", "2", "[s]\r\na=\r\nb=2\r\n"},
        // An existing key keeps its line, its place and its spelling; only the value changes.
        ChangeRow{"[s]\r\n Key =old\r\nz=1\r\n", "S", "key", "new", "[s]\r\n Key =new\r\nz=1\r\n"},
        ChangeRow{"[S]\r\nK=1\r\n[t]\r\n", "s", "k", "", "[S]\r\nK=\r\n[t]\r\n"},
        // The rewritten line ends with CR LF, also as the file's unended last line.
        ChangeRow{"[s]\r\nk=1", "s", "k", "22", "[s]\r\nk=22\r\n"},
        ChangeRow{"[s]\r\na=1\r\n[s]\r\na=2\r\n", "s", "a", "3", "[s]\r\na=3\r\n[s]\r\na=2\r\n"},
        // A second byte is not folded: 乤 is a new key beside 丄.
        ChangeRow{"[s]\r\n\x81\x41=1\r\n", "s", "\x81\x61", "2", "[s]\r\n\x81\x41=1\r\n\x81\x61=2\r\n"},
        ChangeRow{"[s]\r\n\x81[=1\r\n\x81]=2\r\n", "s", "\x81]", "3", "[s]\r\n\x81[=1\r\n\x81]=3\r\n"},
        // CR and LF in a value are dropped, and a lead byte left last; keys and sections are written trimmed.
        ChangeRow{"", "s", "k", "a\r\nb\rc\nd", "[s]\r\nk=abcd\r\n"},
        ChangeRow{"", "s", "k", "ab\xD6", "[s]\r\nk=ab\r\n"},
        // Zero bytes and Ctrl+Z would end the raw text the key listing reads: they are dropped too.
        ChangeRow{"", "s", "k", "a\x1Azb\0c\x81\x1Az"s, "[s]\r\nk=azbc\x81z\r\n"},
        ChangeRow{"", " s ", "  k\t", " v ", "[s]\r\nk= v \r\n"},
        ChangeRow{"", "s", "\x81=", "v", "[s]\r\n\x81==v\r\n"},
        ChangeRow{"", "s", "a[b]", "[v]", "[s]\r\na[b]=[v]\r\n"},
        // Bytes of lines the change does not touch stay exactly as they were.
        ChangeRow{"odd\nline\r\n\r\n[s]\r\nk=\0\x1A\r\nx\rx\r\n[t]\r\n"s, "s", "n", "v",
                  "odd\nline\r\n\r\n[s]\r\nk=\0\x1A\r\nn=v\r\nx\rx\r\n[t]\r\n"s}));

// Ending the file's last line drops a lead byte that stood last, and that can turn the line into the
// header of the very section being written: the entry then goes under it, or it would not read back.
TEST(DocumentSetValue, readsBackAfterEndingALastLineThatBecomesItsHeader) {
    for (const std::string before : {"x=1\r\n[s\xFF", "[s\xFF", "[t]\r\n[S\x81"}) {
        SCOPED_TRACE(testing::PrintToString(hex(before)));
        Document document(before);
        ASSERT_TRUE(document.set_value("s", "k", "v"));
        EXPECT_EQ(hex_value(document.value("s", "k")), hex_value("v"));
        EXPECT_EQ(hex(document.bytes()), hex(before.substr(0, before.size() - 1) + "\r\nk=v\r\n"));
    }
}

TEST(DocumentSetValue, readsBackWhatItWrote) {
    Document document("[s]\r\nold=1\r\n");
    ASSERT_TRUE(document.set_value("s", "\xC0\xFA\xCA\xB7", "  \xB1\xEA\xCC\xE2|http://a/?x=[1]\r\n"));
    ASSERT_TRUE(document.set_value("t", "k", "v"));
    EXPECT_EQ(hex_value(document.value("s", "\xC0\xFA\xCA\xB7")), hex_value("\xB1\xEA\xCC\xE2|http://a/?x=[1]"));
    EXPECT_EQ(hex_value(document.value("s", "old")), hex_value("1"));
    EXPECT_EQ(hex_value(document.value("T", "K")), hex_value("v"));
}

class RefusedKey : public testing::TestWithParam<std::string> {};

TEST_P(RefusedKey, changesNothing) {
    const Text before = "[s]\r\nk=v\r\n";
    Document document(before);
    EXPECT_FALSE(is_valid_key(GetParam()));
    EXPECT_FALSE(document.set_value("s", GetParam(), "x"));
    EXPECT_FALSE(document.remove_key("s", GetParam()));
    EXPECT_EQ(hex(document.bytes()), hex(before));
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedKey,
                         testing::Values("", "  \t", "a=b", "=", "a\rb", "a\nb", "[a", "  [a", "ab\xD6", "a\x1Az",
                                         "a\0b"s, "\x81\x1Az"));

TEST(RefusedSection, changesNothing) {
    for (const std::string_view section :
         {""sv, " "sv, "a]b"sv, "a\rb"sv, "a\nb"sv, "ab\xD6"sv, "a\x1Az"sv, "a\0b"sv}) {
        SCOPED_TRACE(testing::PrintToString(hex(section)));
        Document document("[s]\r\n");
        EXPECT_FALSE(is_valid_section(section));
        EXPECT_FALSE(document.set_value(section, "k", "v"));
        EXPECT_EQ(hex(document.bytes()), hex("[s]\r\n"));
    }
    EXPECT_TRUE(is_valid_section("a[b"));
    EXPECT_TRUE(is_valid_section("\x81]")); // the "]" is a second byte
    EXPECT_TRUE(is_valid_key("a[b]"));
}

struct RemoveRow {
    std::string before;
    std::string key; // empty: remove the section
    bool found;
    std::string after;
};
void PrintTo(const RemoveRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.before)) << " remove " << testing::PrintToString(hex(r.key));
}

class DocumentRemove : public testing::TestWithParam<RemoveRow> {};

TEST_P(DocumentRemove, dropsWholeLinesAndNothingElse) {
    const RemoveRow& r = GetParam();
    Document document(r.before);
    EXPECT_EQ(r.key.empty() ? document.remove_section("s") : document.remove_key("s", r.key), r.found);
    EXPECT_EQ(hex(document.bytes()), hex(r.after));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DocumentRemove,
    testing::Values(RemoveRow{"[s]\r\na=1\r\nb=2\r\n", "a", true, "[s]\r\nb=2\r\n"},
                    RemoveRow{"[S]\r\nA=1\r\nb=2\r\n", " a ", true, "[S]\r\nb=2\r\n"},
                    // The last key goes, its header stays.
                    RemoveRow{"[s]\r\na=1\r\n[t]\r\n", "a", true, "[s]\r\n[t]\r\n"},
                    RemoveRow{"[s]\r\na=1\r\nb=2", "b", true, "[s]\r\na=1\r\n"},
                    RemoveRow{"[s]\r\na=1\r\na=2\r\n", "a", true, "[s]\r\na=2\r\n"},
                    RemoveRow{"[s]\r\na=1\r\n", "c", false, "[s]\r\na=1\r\n"},
                    RemoveRow{"[t]\r\na=1\r\n", "a", false, "[t]\r\na=1\r\n"},
                    RemoveRow{"[s]\r\n\x81\x41=1\r\n", "\x81\x61", false, "[s]\r\n\x81\x41=1\r\n"},
                    RemoveRow{"x\ny\r\n[s]\r\na=1\r\n\r\n", "a", true, "x\ny\r\n[s]\r\n\r\n"},
                    // A section goes with every line up to the next header, odd and blank ones too.
                    RemoveRow{"[s]\r\na=1\r\n;x\r\n\r\n[t]\r\nb=2\r\n", "", true, "[t]\r\nb=2\r\n"},
                    RemoveRow{"[t]\r\nb=2\r\n[s]\r\na=1", "", true, "[t]\r\nb=2\r\n"},
                    RemoveRow{"[s]\r\n[s]\r\na=1\r\n", "", true, "[s]\r\na=1\r\n"},
                    RemoveRow{"[t]\r\n", "", false, "[t]\r\n"}));

TEST(DocumentRemoveKeys, removesTheFirstRemainingLineOfEachKeyInOnePass) {
    Document document("[s]\r\na=1\r\nb=2\r\nA=3\r\n[t]\r\na=4\r\n");
    EXPECT_EQ(document.remove_keys("s", {"a", "c", "A", "a", "=", ""}),
              (std::vector<bool>{true, false, true, false, false, false}));
    EXPECT_EQ(hex(document.bytes()), hex("[s]\r\nb=2\r\n[t]\r\na=4\r\n"));
    EXPECT_EQ(hex_value(document.value("t", "a")), hex_value("4"));
    EXPECT_EQ(document.remove_keys("absent", {"a"}), std::vector<bool>{false});
}

TEST(DocumentSpeed, looksUpAHundredThousandKeysOfOneSectionInLinearTime) {
    constexpr int count = 100'000;
    Text bytes = "[s]\r\n";
    for (int i = 0; i < count; ++i) {
        bytes += "key" + std::to_string(i) + "=value" + std::to_string(i) + "\r\n";
    }
    const Document document(std::move(bytes));
    const auto started = std::chrono::steady_clock::now();
    int found = 0;
    for (int i = count - 1; i >= 0; --i) {
        found += document.value("s", "KEY" + std::to_string(i)) == "value" + std::to_string(i) ? 1 : 0;
    }
    EXPECT_EQ(found, count);
    // Linear work here takes about a second even under the sanitizers; quadratic work takes minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

} // namespace
} // namespace lorvane::profile
