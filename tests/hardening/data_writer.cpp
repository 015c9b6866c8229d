// A stand-in for a copy of the program that changes the data file, started by the crash and
// concurrency tests. It reports on standard output, one line at a time and unbuffered, so that a
// test that kills it knows which write was under way.
//
//   data_writer RUN_DIR START_AT writes ROUND COUNT
//       COUNT history writes (crash_key, crash_value); "b I" before write I, "e I OK" after it.
//   data_writer RUN_DIR START_AT add-links PREFIX COUNT
//   data_writer RUN_DIR START_AT record-history PREFIX COUNT
//   data_writer RUN_DIR START_AT remove-history PREFIX FIRST COUNT BATCH
//       removes PREFIX-FIRST.. in batches of BATCH (one read and one write each, as the history
//       window removes ticked records), every other batch key by key.
// START_AT is a steady-clock time in nanoseconds to wait for, so that two copies begin together;
// they print "start NS" and "end NS" around their work. The exit status is the number of writes
// that reported a failure (at most 100).

#include "writer_script.h"

#include "platform/run_dir.h"
#include "store/data_file.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace lorvane;
using Clock = std::chrono::steady_clock;
constexpr int max_status = 100;

void say(const std::string& line) {
    const std::string out = line + "\n";
    // One write() per line: a kill leaves whole lines behind, never half of one.
    if (::write(STDOUT_FILENO, out.data(), out.size()) != static_cast<ssize_t>(out.size())) {
        std::_Exit(max_status);
    }
}

long long now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

int crash_writes(int round, int count) {
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        say("b " + std::to_string(i));
        const bool ok = write_entry(history_section(), test::crash_key(round, i), test::crash_value(round, i));
        failures += ok ? 0 : 1;
        say("e " + std::to_string(i) + (ok ? " 1" : " 0"));
    }
    return failures;
}

int add_links(const std::string& prefix, int count) {
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        failures += write_entry(link_section(), test::numbered_key(prefix, i), test::link_address(prefix, i)) ? 0 : 1;
    }
    return failures;
}

int record_history(const std::string& prefix, int count) {
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        failures +=
            write_entry(history_section(), test::numbered_key(prefix, i), test::history_value(prefix, i)) ? 0 : 1;
    }
    return failures;
}

int remove_history(const std::string& prefix, int first, int count, int batch) {
    int failures = 0;
    bool by_batch = true;
    for (int from = first; from < first + count; from += batch, by_batch = !by_batch) {
        TextList keys;
        for (int i = from; i < std::min(from + batch, first + count); ++i) {
            keys.push_back(test::numbered_key(prefix, i));
        }
        if (by_batch) {
            const RemovalResult result = delete_entries(history_section(), keys);
            failures +=
                result.written && std::all_of(result.removed.begin(), result.removed.end(), [](bool r) { return r; })
                    ? 0
                    : 1;
        } else {
            for (const Text& key : keys) {
                failures += delete_entry(history_section(), key) ? 0 : 1;
            }
        }
    }
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        return max_status;
    }
    set_run_dir_for_tests(argv[1]);
    const auto start_at = Clock::time_point(std::chrono::nanoseconds(std::atoll(argv[2])));
    std::this_thread::sleep_until(start_at);
    const std::string mode = argv[3];
    say("start " + std::to_string(now_ns()));
    int failures = max_status;
    if (mode == "writes" && argc == 6) {
        failures = crash_writes(std::atoi(argv[4]), std::atoi(argv[5]));
    } else if (mode == "add-links" && argc == 6) {
        failures = add_links(argv[4], std::atoi(argv[5]));
    } else if (mode == "record-history" && argc == 6) {
        failures = record_history(argv[4], std::atoi(argv[5]));
    } else if (mode == "remove-history" && argc == 8) {
        failures = remove_history(argv[4], std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]));
    }
    say("end " + std::to_string(now_ns()));
    return std::min(failures, max_status);
}
