// Two copies of the program changing the data file at the same moment: the advisory lock makes
// every read-modify-write whole, so neither loses what the other wrote.

#include "byte_diff.h"
#include "child_process.h"
#include "writer_script.h"

#include "store/data_folder.h"
#include "store/section_keys.h"
#include "store/snapshot.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace lorvane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int links_per_copy = 500;
constexpr int old_records = 500;
constexpr int removed_records = 250;
constexpr int new_records = 500;
constexpr int removal_batch = 10;
constexpr auto start_delay = 1s; // both copies are running before either begins
constexpr auto run_timeout = 300s;

const Text links_header = "[\xBF\xC9\xD1\xA1\xD7\xE9\xBA\xCF\xC1\xB4\xBD\xD3]"; // [可选组合链接]
const Text selector_lines = "[\xD7\xE9\xBA\xCF\xBF\xF2\xC5\xE4\xD6\xC3]\r\n"    // [组合框配置]
                            "\xC4\xAC\xC8\xCF\xD1\xA1\xD6\xD0\xCF\xEE=0\r\n";   // 默认选中项=0
const Text history_header = "[\xC0\xFA\xCA\xB7\xBC\xC7\xC2\xBC]";               // [历史记录]

struct Span {
    long long start = 0;
    long long end = 0;
};

class ConcurrentCopies : public test::DataFolderTest {
protected:
    // Starts both copies; they begin their work at the same moment.
    void run_together(const std::vector<std::string>& first, const std::vector<std::string>& second) {
        const auto start_at =
            std::chrono::duration_cast<std::chrono::nanoseconds>((Clock::now() + start_delay).time_since_epoch())
                .count();
        std::vector<Span> spans;
        std::vector<std::unique_ptr<test::ChildProcess>> copies;
        for (const auto* args : {&first, &second}) {
            std::vector<std::string> full{LORVANE_DATA_WRITER, run_dir_.path(), std::to_string(start_at)};
            full.insert(full.end(), args->begin(), args->end());
            copies.push_back(std::make_unique<test::ChildProcess>(full));
        }
        for (auto& copy : copies) {
            const auto status = copy->wait_for_exit(std::chrono::duration_cast<std::chrono::milliseconds>(run_timeout));
            ASSERT_TRUE(status) << "a copy did not finish in time";
            EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "failed writes: " << WEXITSTATUS(*status);
            Span span;
            for (const std::string& line : copy->remaining_lines(1s)) {
                if (line.starts_with("start ")) {
                    span.start = std::stoll(line.substr(6));
                } else if (line.starts_with("end ")) {
                    span.end = std::stoll(line.substr(4));
                }
            }
            spans.push_back(span);
        }
        // The test means something only if the two really worked at the same time.
        ASSERT_EQ(spans.size(), 2u);
        EXPECT_TRUE(spans[0].start < spans[1].end && spans[1].start < spans[0].end)
            << "the copies did not overlap: " << spans[0].start << "-" << spans[0].end << ", " << spans[1].start << "-"
            << spans[1].end;
    }
};

TEST_F(ConcurrentCopies, twoAddingFiveHundredLinksEachLeaveAllThousand) {
    write_data(links_header + "\r\n" + selector_lines);
    run_together({"add-links", "a", std::to_string(links_per_copy)},
                 {"add-links", "b", std::to_string(links_per_copy)});

    const DataSnapshot data = DataSnapshot::load();
    const TextList keys = data.list_section_keys(links_header);
    ASSERT_EQ(keys.size(), 2u * links_per_copy);
    // Each copy's links stand in the order it added them, interleaved with the other's.
    for (const std::string prefix : {"a", "b"}) {
        TextList own;
        for (const Text& key : keys) {
            if (key.starts_with(prefix + "-")) {
                own.push_back(key);
            }
        }
        ASSERT_EQ(own.size(), static_cast<std::size_t>(links_per_copy)) << prefix;
        for (int i = 0; i < links_per_copy; ++i) {
            EXPECT_EQ(own[i], test::numbered_key(prefix, i));
            EXPECT_EQ(data.read_entry(link_section(), own[i]), test::link_address(prefix, i));
        }
    }
    EXPECT_TRUE(data.text().ends_with(selector_lines)) << "the selector section was disturbed";
}

TEST_F(ConcurrentCopies, recordingAndRemovingHistoryAtOnceLoseNothingThatWasNotRemoved) {
    const Text links = links_header + "\r\nA=https://a.example/?url=\r\n";
    Text history = history_header + "\r\n";
    for (int i = 0; i < old_records; ++i) {
        history += test::numbered_key("old", i) + "=" + test::history_value("old", i) + "\r\n";
    }
    write_data(links + selector_lines + history);
    run_together({"record-history", "new", std::to_string(new_records)},
                 {"remove-history", "old", "0", std::to_string(removed_records), std::to_string(removal_batch)});

    // Exactly the records not removed, in file order: the old ones left, then the new ones.
    Text expected = links + selector_lines + history_header + "\r\n";
    for (int i = removed_records; i < old_records; ++i) {
        expected += test::numbered_key("old", i) + "=" + test::history_value("old", i) + "\r\n";
    }
    for (int i = 0; i < new_records; ++i) {
        expected += test::numbered_key("new", i) + "=" + test::history_value("new", i) + "\r\n";
    }
    EXPECT_TRUE(data() == expected) << test::first_difference(data(), expected);
    EXPECT_EQ(list_section_keys(history_header).size(),
              static_cast<std::size_t>(old_records - removed_records + new_records));
}

} // namespace
} // namespace lorvane
