// A copy of the program killed with SIGKILL in the middle of its writes: the data file it leaves is
// always the whole file before the write under way or the whole file after it, every other entry
// and every odd line as it was, and the temporary file a kill may leave is never read and goes
// with the next write.

#include "byte_diff.h"
#include "child_process.h"
#include "writer_script.h"

#include "store/data_folder.h"
#include "store/section_keys.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>

namespace lorvane {
namespace {

using namespace std::chrono_literals;
using test::hex;

constexpr int kills = 30;
constexpr int writes_per_child = 1000;
constexpr int longest_delay_ms = 60; // a kill comes this long at most after the first write began
constexpr auto line_timeout = 20s;
constexpr auto full_run_timeout = 300s;

// The links, the selector and a short history as the program writes them, and lines a hand edit
// may leave (a comment, a lone LF, a blank line), none of which a write may disturb.
Text starting_file() {
    return "[\xBF\xC9\xD1\xA1\xD7\xE9\xBA\xCF\xC1\xB4\xBD\xD3]\r\n" // [可选组合链接]
           "\xCF\xDF\xC2\xB7\xD2\xBB=https://a.example/?url=\r\n"   // 线路一
           "B=https://b.example/jx/?v=\r\n"
           ";note\nwith a lone LF\r\n"
           "\r\n"
           "[\xD7\xE9\xBA\xCF\xBF\xF2\xC5\xE4\xD6\xC3]\r\n" // [组合框配置]
           "\xC4\xAC\xC8\xCF\xD1\xA1\xD6\xD0\xCF\xEE=1\r\n" // 默认选中项=1
           "[\xC0\xFA\xCA\xB7\xBC\xC7\xC2\xBC]\r\n"         // [历史记录]
           "2020\xC4\xEA"
           "6\xD4\xC2"
           "17\xC8\xD5=old title|https://v.example/1\r\n";
}

struct RunLog {
    std::vector<int> completed; // writes that reported success, in order
    std::optional<int> under_way;
};

RunLog parse_log(const std::vector<std::string>& lines) {
    RunLog log;
    for (const std::string& line : lines) {
        if (line.starts_with("b ")) {
            log.under_way = std::stoi(line.substr(2));
        } else if (line.starts_with("e ")) {
            if (line.ends_with(" 1")) {
                log.completed.push_back(std::stoi(line.substr(2)));
            }
            log.under_way.reset();
        }
    }
    return log;
}

class CrashSafety : public test::DataFolderTest {
protected:
    std::vector<std::string> writer_args(int round, int count) const {
        return {LORVANE_DATA_WRITER, run_dir_.path(), "0", "writes", std::to_string(round), std::to_string(count)};
    }

    // Names in Data/ that a write leaves behind: the temporary files of killed writes.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(data_folder_path())) {
            const std::string name = entry.path().filename().string();
            if (name != "URL.ini" && name != ".URL.ini.lock") {
                out.push_back(name);
            }
        }
        return out;
    }
};

TEST_F(CrashSafety, killedWriterLeavesTheWholeOldOrTheWholeNewFile) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay_ms(0, longest_delay_ms);
    write_data(starting_file());
    Text current = starting_file();
    int killed_during_a_write = 0;

    for (int round = 0; round < kills; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        test::ChildProcess child(writer_args(round, writes_per_child));
        ASSERT_TRUE(child.next_line(line_timeout)) << "the writer did not start";
        const auto first = child.next_line(line_timeout);
        ASSERT_EQ(first, "b 0");
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(random)));
        child.kill_now();
        const auto status = child.wait_for_exit(line_timeout);
        ASSERT_TRUE(status);
        std::vector<std::string> lines = child.remaining_lines(line_timeout);
        lines.insert(lines.begin(), *first);
        const RunLog log = parse_log(lines);

        // The file as it must be with the completed writes, and with the one under way as well.
        profile::Document done(current);
        for (const int i : log.completed) {
            ASSERT_TRUE(done.set_value(history_section(), test::crash_key(round, i), test::crash_value(round, i)));
        }
        profile::Document next = done;
        if (log.under_way) {
            ++killed_during_a_write;
            next.set_value(history_section(), test::crash_key(round, *log.under_way),
                           test::crash_value(round, *log.under_way));
        }
        const Text now = data();
        ASSERT_TRUE(now == done.bytes() || now == next.bytes())
            << "after " << log.completed.size() << " writes, one under way: " << log.under_way.has_value() << "\n"
            << test::first_difference(now, done.bytes());
        // What the program reads of it: the text whole, every key listed.
        EXPECT_EQ(hex(read_data_text()), hex(now));
        // A kill may leave the temporary file of the write under way, but only that one: the
        // first write of this round removed the one of the round before.
        EXPECT_LE(leftovers().size(), 1u);
        current = now;
    }
    // Most kills fall inside a write (the rest between two); the point is that some do.
    EXPECT_GT(killed_during_a_write, 0);

    // A last copy runs its thousand writes to the end and cleans up after the kills.
    test::ChildProcess child(writer_args(kills, writes_per_child));
    const auto status = child.wait_for_exit(std::chrono::duration_cast<std::chrono::milliseconds>(full_run_timeout));
    ASSERT_TRUE(status) << "a thousand writes did not finish in time";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "failed writes: " << WEXITSTATUS(*status);
    profile::Document expected(current);
    for (int i = 0; i < writes_per_child; ++i) {
        expected.set_value(history_section(), test::crash_key(kills, i), test::crash_value(kills, i));
    }
    EXPECT_TRUE(data() == expected.bytes()) << test::first_difference(data(), expected.bytes());
    EXPECT_TRUE(starting_file().size() < data().size() && data().starts_with(starting_file()));
    EXPECT_TRUE(leftovers().empty()) << testing::PrintToString(leftovers());
    // The last copy's keys close the history list, in the order of their first writes.
    const TextList keys = list_section_keys(section_header(history_section()));
    ASSERT_GE(keys.size(), static_cast<std::size_t>(test::crash_keys_per_round));
    for (int i = 0; i < test::crash_keys_per_round; ++i) {
        EXPECT_EQ(keys[keys.size() - test::crash_keys_per_round + i], test::crash_key(kills, i));
    }
}

} // namespace
} // namespace lorvane
