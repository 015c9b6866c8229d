#include "store/data_file.h"
#include "store/data_folder.h"
#include "store/section_keys.h"
#include "text/gbk.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::hex;
using namespace std::string_literals;

// The three sections as their header lines stand in the file, in GBK.
const Text links_header = gbk("[可选组合链接]");
const Text selector_header = gbk("[组合框配置]");
const Text history_header = gbk("[历史记录]");

TEST(DataFilePath, isRebuiltFromTheProgramsDirectoryOnEveryCall) {
    set_run_dir_for_tests("/tmp/one");
    EXPECT_EQ(data_folder_path(), "/tmp/one/Data");
    EXPECT_EQ(data_file_path(), "/tmp/one/Data/URL.ini");
    set_run_dir_for_tests("/tmp/two/");
    EXPECT_EQ(data_file_path(), "/tmp/two/Data/URL.ini");
    set_run_dir_for_tests({});
}

TEST(SectionNames, areTheProgramsGbkTexts) {
    EXPECT_EQ(hex(section_header(link_section())), hex(links_header));
    EXPECT_EQ(hex(section_header(selector_section())), hex(selector_header));
    EXPECT_EQ(hex(section_header(history_section())), hex(history_header));
    EXPECT_EQ(hex(selector_key()), hex("\xC4\xAC\xC8\xCF\xD1\xA1\xD6\xD0\xCF\xEE")); // 默认选中项
}

class DataFile : public test::DataFolderTest {};

TEST_F(DataFile, writesTwoLinksAndTheSelectorIntoTwoSections) {
    ASSERT_TRUE(write_entry(link_section(), gbk("线路一"), "https://a.example/?url="));
    ASSERT_TRUE(write_entry(link_section(), gbk("线路二"), "https://b.example/?v="));
    ASSERT_TRUE(write_entry(selector_section(), selector_key(), "1"));
    EXPECT_EQ(hex(data()), hex(links_header + "\r\n" + gbk("线路一") + "=https://a.example/?url=\r\n" + gbk("线路二") +
                               "=https://b.example/?v=\r\n" + selector_header + "\r\n" + selector_key() + "=1\r\n"));
    EXPECT_EQ(hex(list_section_keys(links_header)), hex(test::gbk_list({"线路一", "线路二"})));
    EXPECT_EQ(read_entry(selector_section(), selector_key()), "1");
}

TEST_F(DataFile, writingANameAgainReplacesItsValueAndListsItOnce) {
    ASSERT_TRUE(write_entry(link_section(), "A", "old"));
    ASSERT_TRUE(write_entry(link_section(), "B", "b"));
    ASSERT_TRUE(write_entry(link_section(), "A", "new"));
    EXPECT_EQ(read_entry(link_section(), "A"), "new");
    EXPECT_EQ(hex(list_section_keys(links_header)), hex(TextList{"A", "B"}));
}

TEST_F(DataFile, everyWrittenHistoryKeyIsListedInOrderAndReadsBack) {
    // Keys and values with two-byte characters whose second byte is "[", "]" or a letter.
    const TextList keys = {gbk("2020年6月17日9时5分3秒"), "\x81[\x81]", "\x81\x41", "\x81\x61", "k[1]"};
    const Text value = "\x81[" + gbk("标题") + "[x]|http://a.example/?q=[1]";
    for (const Text& key : keys) {
        ASSERT_TRUE(write_entry(history_section(), key, value + key));
    }
    ASSERT_TRUE(write_entry(link_section(), "later", "x"));
    EXPECT_EQ(hex(list_section_keys(history_header)), hex(keys));
    for (const Text& key : keys) {
        EXPECT_EQ(hex(read_entry(history_section(), key)), hex(value + key));
    }
}

TEST_F(DataFile, readEntrySkipsLeadingBlanksInSectionAndKey) {
    write_data("[s]\r\nk=v\r\n=empty key\r\n");
    EXPECT_EQ(read_entry(" \ts", "\x01 k"), "v");
    EXPECT_EQ(read_entry("s", "  \r\n"), "");
    EXPECT_EQ(read_entry(" ", "k"), "");
    EXPECT_EQ(read_entry("s", "absent"), "");
    EXPECT_EQ(read_entry("t", "k"), "");
}

TEST_F(DataFile, readEntryCutsALongValueToTheProgramsBuffer) {
    constexpr std::size_t buffer = 10240;
    write_data("[s]\r\nfits=" + std::string(buffer - 1, 'a') + "\r\nlong=" + std::string(buffer, 'b') +
               "\r\nlonger=" + std::string(3 * buffer, 'c') + "\r\n");
    EXPECT_EQ(read_entry("s", "fits"), std::string(buffer - 1, 'a'));
    EXPECT_EQ(read_entry("s", "long"), std::string(buffer - 1, 'b'));
    EXPECT_EQ(read_entry("s", "longer"), std::string(buffer - 1, 'c'));
}

TEST_F(DataFile, missingFileOrFolderReadsEmptyAndWritesFail) {
    EXPECT_EQ(read_entry("s", "k"), "");
    EXPECT_EQ(read_data_text(), "");
    EXPECT_TRUE(list_section_keys("[s]").empty());
    std::filesystem::remove(data_folder_path());
    EXPECT_FALSE(write_entry("s", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(data_folder_path()));
}

TEST_F(DataFile, deletesEntriesAndSections) {
    write_data("[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n");
    EXPECT_TRUE(delete_entry("a", "x"));
    EXPECT_TRUE(delete_entry("a", "absent"));
    EXPECT_EQ(hex(data()), hex("[a]\r\ny=2\r\n[b]\r\nz=3\r\n"));
    EXPECT_TRUE(delete_entry("a", "y"));
    EXPECT_EQ(hex(data()), hex("[a]\r\n[b]\r\nz=3\r\n")); // the empty section stays
    EXPECT_TRUE(list_section_keys("[a]").empty());
    EXPECT_TRUE(delete_section("a"));
    EXPECT_EQ(hex(data()), hex("[b]\r\nz=3\r\n"));
}

TEST_F(DataFile, deleteEntriesRemovesManyKeysInOneWrite) {
    write_data("[h]\r\na=1\r\nb=2\r\na=3\r\nc=4\r\n[t]\r\nb=5\r\n");
    const RemovalResult result = delete_entries("h", {"a", "b", "x", "a", "a"});
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.removed, (std::vector<bool>{true, true, false, true, false}));
    EXPECT_EQ(hex(data()), hex("[h]\r\nc=4\r\n[t]\r\nb=5\r\n"));

    const ino_t before = test::stat_of(data_file_path()).st_ino;
    const RemovalResult none = delete_entries("h", {"x"});
    EXPECT_TRUE(none.written);
    EXPECT_EQ(none.removed, std::vector<bool>{false});
    EXPECT_EQ(test::stat_of(data_file_path()).st_ino, before) << "nothing to remove, yet the file was rewritten";
}

TEST_F(DataFile, readOnlyFileKeepsItsLinksListedAndRefusesChanges) {
    const std::string bytes = "[s]\r\nk=v\r\n";
    write_data(bytes);
    ASSERT_EQ(::chmod(data_file_path().c_str(), 0444), 0);
    EXPECT_EQ(hex(read_data_text()), hex(bytes));
    EXPECT_EQ(hex(list_section_keys("[s]")), hex(TextList{"k"}));
    EXPECT_EQ(read_entry("s", "k"), "v");
    EXPECT_FALSE(write_entry("s", "k", "w"));
    EXPECT_FALSE(delete_entry("s", "k"));
    EXPECT_FALSE(delete_section("s"));
    const RemovalResult removal = delete_entries("s", {"k"});
    EXPECT_FALSE(removal.written);
    EXPECT_EQ(hex(data()), hex(bytes));
}

TEST_F(DataFile, zeroBytesInArgumentsEndThemAsTheyEndedACString) {
    ASSERT_TRUE(write_entry("s\0x"s, "k\0y"s, "v\0z"s));
    EXPECT_EQ(hex(data()), hex("[s]\r\nk=v\r\n"));
    EXPECT_EQ(read_entry("s\0q"s, "k\0q"s), "v");
}

// A page title may hold a Ctrl+Z (a literal one or "&#26;"); stored as it was, it ended the raw text
// at that byte and every later record dropped out of the history list.
class CtrlZInAValue : public test::DataFolderTest, public testing::WithParamInterface<std::string> {};

TEST_P(CtrlZInAValue, isDroppedSoThatEveryLaterKeyStaysListed) {
    ASSERT_TRUE(write_entry(history_section(), "first", "a"));
    ASSERT_TRUE(write_entry(history_section(), "titled", GetParam() + "|http://a.example/"));
    ASSERT_TRUE(write_entry(history_section(), "later", "b"));
    ASSERT_TRUE(write_entry(link_section(), "link", "c"));
    EXPECT_EQ(hex(list_section_keys(history_header)), hex(TextList{"first", "titled", "later"}));
    EXPECT_EQ(hex(list_section_keys(links_header)), hex(TextList{"link"}));
    EXPECT_EQ(hex(read_data_text()), hex(data()));
    EXPECT_EQ(data().find('\x1A'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Titles, CtrlZInAValue,
                         testing::Values("x\x1Ay", "\x1A", "\x1A\x1A title", "title \x1A", "\xD6\x1A", "\xD6\xD0\x1A"));

TEST_F(DataFile, keyHoldingCtrlZIsRefused) {
    write_data("[s]\r\nk=v\r\n");
    EXPECT_FALSE(write_entry("s", "a\x1Az", "v"));
    EXPECT_FALSE(write_entry("s\x1Az", "k", "v"));
    EXPECT_EQ(hex(data()), hex("[s]\r\nk=v\r\n"));
}

struct CutRow {
    std::string file;
    std::string text;
};
void PrintTo(const CutRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.file));
}

class ReadDataText : public test::DataFolderTest, public testing::WithParamInterface<CutRow> {};

TEST_P(ReadDataText, endsAtTheFirstZeroOrCtrlZThatIsNotASecondByte) {
    write_data(GetParam().file);
    EXPECT_EQ(hex(read_data_text()), hex(GetParam().text));
    EXPECT_EQ(hex(data_text_of(GetParam().file)), hex(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadDataText,
                         testing::Values(CutRow{"[s]\r\nk=v\r\n", "[s]\r\nk=v\r\n"}, CutRow{"ab\0cd"s, "ab"},
                                         CutRow{"ab\x1A\r\n[s]", "ab"}, CutRow{"\0"s, ""},
                                         CutRow{"\x81\x1Ax\0y"s, "\x81\x1Ax"}, CutRow{"\x81\0x"s, "\x81\0x"s},
                                         CutRow{"a\nb\rc\xFF", "a\nb\rc\xFF"}));

struct PresenceRow {
    std::string text;
    bool present;
    bool with_entries;
};
void PrintTo(const PresenceRow& r, std::ostream* os) {
    *os << testing::PrintToString(hex(r.text));
}

class PresenceTest : public testing::TestWithParam<PresenceRow> {};

TEST_P(PresenceTest, findsTheHeaderAnywhereAndAnEqualsSignAfterIt) {
    EXPECT_EQ(section_present(GetParam().text, "h"), GetParam().present);
    EXPECT_EQ(section_present_with_entries(GetParam().text, "h"), GetParam().with_entries);
}

INSTANTIATE_TEST_SUITE_P(Rows, PresenceTest,
                         testing::Values(PresenceRow{"", false, false}, PresenceRow{"[h]\r\n", true, false},
                                         PresenceRow{"[h]\r\nk=v\r\n", true, true},
                                         PresenceRow{"k=v\r\n[h]\r\n", true, false},
                                         PresenceRow{"[h]\r\n[t]\r\nk=v\r\n", true, true}, // the loose test
                                         PresenceRow{"x=[h]\r\n", true, false}, PresenceRow{"[H]\r\nk=v", false, false},
                                         PresenceRow{"\x81[h]\r\nk=v", false, false}));

} // namespace
} // namespace lorvane
