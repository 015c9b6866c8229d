#include "store/data_folder.h"
#include "store/section_keys.h"
#include "text/gbk.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <chrono>

namespace lorvane {
namespace {

using test::hex;
using namespace std::string_literals;

struct ListingRow {
    std::string name;
    std::string text;
    TextList keys;
};
void PrintTo(const ListingRow& r, std::ostream* os) {
    *os << r.name << ": " << testing::PrintToString(hex(r.text));
}

class ListSectionKeys : public testing::TestWithParam<ListingRow> {};

TEST_P(ListSectionKeys, cutsTheKeysOfTheSectionOutOfTheRawText) {
    EXPECT_EQ(hex(list_section_keys_in(GetParam().text, "[h]")), hex(GetParam().keys));
}

// Header "[h]" throughout; "[t]" is another section. 乕 (81 5B) ends in "[".
INSTANTIATE_TEST_SUITE_P(
    Rows, ListSectionKeys,
    testing::Values(ListingRow{"twoEntriesThenAnotherSection", "[h]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n", {"a", "b"}},
                    ListingRow{"lastSectionEndingWithCrLf", "[t]\r\nc=3\r\n[h]\r\na=1\r\nb=2\r\n", {"a", "b"}},
                    ListingRow{"noFinalCrLf", "[h]\r\na=1\r\nb=2", {"a", "b"}},
                    ListingRow{"blankLinesGiveEmptyKeys", "[h]\r\na=1\r\n\r\nb=2\r\n\r\n[t]\r\n", {"a", "", "b", ""}},
                    ListingRow{"blankLineAtTheEndOfTheText", "[h]\r\na=1\r\n\r\n", {"a", ""}},
                    ListingRow{"bracketInAValueCutsNothing", "[h]\r\na=x[y]\r\nb=2\r\n", {"a", "b"}},
                    ListingRow{"bracketInAKeyCutsNothing", "[h]\r\nk[1]=v\r\nb=2\r\n", {"k[1]", "b"}},
                    ListingRow{"bracketAsSecondByte", "[h]\r\n\x81[=\x81[\r\nb=2\r\n", {"\x81[", "b"}},
                    ListingRow{"headerInsideAnEarlierValue", "[t]\r\nx=[h]\r\n[h]\r\nk=v\r\n", {"k"}},
                    ListingRow{"headerOnlyInsideAValue", "[t]\r\nx=[h]\r\ny=1\r\n", {}},
                    ListingRow{"headerNotAtTheStartOfALine", "x[h]\r\nk=v\r\n", {}},
                    ListingRow{"headerAfterALeadByteThatTakesTheCr", "[t]\r\nk=\x81\r\n[h]\r\nk=v\r\n", {}},
                    ListingRow{"firstHeaderLineCounts", "[h]\r\na=1\r\n[t]\r\n[h]\r\nb=2\r\n", {"a"}},
                    ListingRow{"headerTwiceInARow", "[h]\r\n[h]\r\nk=v\r\n", {}},
                    ListingRow{"headerAtTheVeryEnd", "[t]\r\nk=v\r\n[h]", {}},
                    ListingRow{"headerLineOnly", "[h]\r\n", {}},
                    ListingRow{"headerFollowedByTheNextSection", "[h]\r\n[t]\r\nk=v\r\n", {}},
                    ListingRow{"restOfTheHeaderLineIsNoKey", "[h]junk=1\r\nk=v\r\n", {"k"}},
                    ListingRow{"twoEqualsSigns", "[h]\r\na=b=c\r\n", {"a"}},
                    ListingRow{"lineWithoutEqualsOrStartingWithIt", "[h]\r\nnoise\r\n=v\r\nk=v\r\n", {"", "", "k"}},
                    ListingRow{"keysAreNotTrimmed", "[h]\r\n k =v\r\n", {" k "}},
                    ListingRow{"equalsAsSecondByte", "[h]\r\n\x81==v\r\n", {"\x81="}},
                    ListingRow{"loneLineFeedIsNoLineEnd", "[h]\r\na=1\nb=2\r\nc=3\r\n", {"a", "c"}},
                    ListingRow{"loneCarriageReturnIsNoLineEnd", "[h]\r\na=1\r[t]\r\nc=3\r\n", {"a", "c"}},
                    ListingRow{"duplicatesStay", "[h]\r\na=1\r\na=2\r\n", {"a", "a"}},
                    ListingRow{"caseCounts", "[H]\r\na=1\r\n", {}}, ListingRow{"emptyText", "", {}}),
    [](const testing::TestParamInfo<ListingRow>& info) { return info.param.name; });

TEST(ListSectionKeysSpeed, listsAFifteenMegabyteHistoryInLinearTime) {
    const Text header = gbk("[历史记录]");
    const Text line =
        gbk("2020年6月17日9时5分3秒=") + gbk("一个很长的页面标题") + "|https://v.example/play?id=1234567890\r\n";
    constexpr std::size_t target = 15 * 1024 * 1024;
    Text text = gbk("[可选组合链接]\r\nA=a\r\n") + header + "\r\n";
    std::size_t count = 0;
    while (text.size() < target) {
        text += line;
        ++count;
    }
    text += gbk("[组合框配置]\r\n默认选中项=0\r\n");
    const auto started = std::chrono::steady_clock::now();
    const TextList keys = list_section_keys_in(text, header);
    // Linear work here takes about a second even under the sanitizers; quadratic work takes minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    ASSERT_EQ(keys.size(), count);
    EXPECT_EQ(hex(keys.back()), hex(gbk("2020年6月17日9时5分3秒")));
}

class ListSectionKeysFromFile : public test::DataFolderTest {};

TEST_F(ListSectionKeysFromFile, readsTheDataFileAnew) {
    write_data("[h]\r\na=1\r\n");
    EXPECT_EQ(hex(list_section_keys("[h]")), hex(TextList{"a"}));
    write_data("[h]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(hex(list_section_keys("[h]")), hex(TextList{"a", "b"}));
    write_data("[h]\r\na=1\r\n\0b=2\r\n"s);
    EXPECT_EQ(hex(list_section_keys("[h]")), hex(TextList{"a"})); // the text ends at the zero byte
}

} // namespace
} // namespace lorvane
