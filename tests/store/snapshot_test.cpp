#include "store/data_folder.h"
#include "store/section_keys.h"
#include "store/snapshot.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>

namespace lorvane {
namespace {

using test::hex;
using namespace std::string_literals;

class Snapshot : public test::DataFolderTest {};

TEST_F(Snapshot, agreesWithTheFreeFunctions) {
    write_data("[h]\r\n a =1\r\nB=2\r\n\r\nnoise\r\nlong="s + std::string(12000, 'x') +
               "\r\n\x81[=3\r\n[t]\r\nB=4\r\nk=v\r\n[h]\r\nlate=5\r\nz=\0after\r\n[u]\r\nq=1\r\n"s);
    const DataSnapshot snapshot = DataSnapshot::load();
    EXPECT_EQ(hex(snapshot.text()), hex(read_data_text()));
    for (const Text header : {"[h]", "[t]", "[u]", "[absent]"}) {
        SCOPED_TRACE(header);
        EXPECT_EQ(hex(snapshot.list_section_keys(header)), hex(list_section_keys(header)));
    }
    for (const Text section : {"h", " H", "t", "u", "absent", ""}) {
        for (const Text key : {"a", " \ta", "b", "", "long", "\x81[", "late", "k", "z", "q", "absent"}) {
            SCOPED_TRACE(section + "/" + key);
            EXPECT_EQ(hex(snapshot.read_entry(section, key)), hex(read_entry(section, key)));
        }
    }
    EXPECT_EQ(snapshot.read_entry("h", "long").size(), 10239u);
    EXPECT_EQ(hex(snapshot.read_entry("t", "b")), hex("4"));
}

// The text is the document's own bytes unless a zero byte or Ctrl+Z cuts it short.
TEST_F(Snapshot, textIsCutWhereTheRawReadCutsIt) {
    const std::pair<Text, Text> files[]{
        {"[h]\r\nk=v\r\n", "[h]\r\nk=v\r\n"}, {"[h]\r\nk=\0v\r\n"s, "[h]\r\nk="},
        {"[h]\r\nk=\x1Av\r\n", "[h]\r\nk="},  {"[h]\r\nk=\x81\x1A\x81\0\r\n"s, "[h]\r\nk=\x81\x1A\x81\0\r\n"s},
        {"[h]\r\nk=\x81", "[h]\r\nk=\x81"},
    };
    for (const auto& [file, text] : files) {
        SCOPED_TRACE(testing::PrintToString(hex(file)));
        write_data(file);
        const DataSnapshot snapshot = DataSnapshot::load();
        EXPECT_EQ(hex(snapshot.text()), hex(text));
        EXPECT_EQ(hex(snapshot.text()), hex(read_data_text()));
        EXPECT_EQ(hex(snapshot.read_entry("h", "k")), hex(read_entry("h", "k")));
    }
}

TEST_F(Snapshot, ofAMissingFileIsEmpty) {
    const DataSnapshot snapshot = DataSnapshot::load();
    EXPECT_EQ(snapshot.text(), "");
    EXPECT_TRUE(snapshot.list_section_keys("[h]").empty());
    EXPECT_EQ(snapshot.read_entry("h", "k"), "");
}

TEST_F(Snapshot, readsEveryEntryOfALargeHistoryInLinearTime) {
    constexpr int count = 100'000;
    Text bytes = "[h]\r\n";
    for (int i = 0; i < count; ++i) {
        bytes += "k" + std::to_string(i) + "=title|http://v.example/" + std::to_string(i) + "\r\n";
    }
    write_data(bytes);
    const auto started = std::chrono::steady_clock::now();
    const DataSnapshot snapshot = DataSnapshot::load();
    const TextList keys = snapshot.list_section_keys("[h]");
    ASSERT_EQ(keys.size(), static_cast<std::size_t>(count));
    int found = 0;
    for (const Text& key : keys) {
        found += snapshot.read_entry("h", key).starts_with("title|") ? 1 : 0;
    }
    EXPECT_EQ(found, count);
    // Linear work here takes about a second even under the sanitizers; quadratic work takes minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

} // namespace
} // namespace lorvane
