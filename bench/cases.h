#pragma once

// The measured code paths. Each runs the program's own functions and windows over a generated data
// file in a temporary program folder and returns the median time of its runs in milliseconds.

#include "text/text.h"

#include <QTemporaryDir>

#include <cstddef>

namespace lorvane::bench {

// A program folder of its own: run_dir points at it while it exists, and its Data/URL.ini holds a
// generated history of `records` records.
class ProgramFolder {
public:
    explicit ProgramFolder(std::size_t records);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const Text& path() const { return path_; }
    std::size_t records() const { return records_; }
    std::size_t file_bytes() const { return bytes_.size(); }
    // Writes the generated file again, so that each case starts from the same bytes.
    void restore() const;

private:
    QTemporaryDir dir_;
    Text path_;
    std::size_t records_;
    Text bytes_;
};

// The fetch answers with a small titled page and the browser takes the address, both at once; the
// announcement goes to a closed local port.
void answer_the_world_at_once();

// Reading and parsing the file once with its key listing, plus one atomic rewrite of it (one entry
// written, the file replaced and flushed to the disk); the medians of the whole and of its parts.
struct FloorTimes {
    double total = 0;
    double read = 0;
    double rewrite = 0;
};
FloorTimes time_floor(const ProgramFolder& folder, int repetitions);
// The history list's rows built from one snapshot of the file, as the history window builds them.
double time_snapshot_listing(const ProgramFolder& folder, int repetitions);
// The same rows built the per-key way: the file read and parsed again for every value.
double time_naive_listing(const ProgramFolder& folder, int repetitions);
// True when both ways give the same rows.
bool listings_agree(const ProgramFolder& folder);

// The history window from construction to its list painted on the screen.
double time_history_window(const ProgramFolder& folder, int repetitions);
// "删除勾选项" with 1,000 records ticked (all of them in a smaller history), the warning answered
// OK, up to the list painted again.
double time_remove_ticked(const ProgramFolder& folder, int repetitions);
// combine_and_open with a link chosen and an address pasted.
double time_combine(const ProgramFolder& folder, int repetitions);
// The main window from construction to painted, the announcement fetched by the real client.
double time_start_up(const ProgramFolder& folder, int repetitions);
// A bare window of the main window's size from construction to painted: the toolkit's own floor.
double time_empty_window(int repetitions);

// Peak memory of this process, in kB, once the history window over `folder_path` has been painted;
// `before_kb` gets the peak just before the window was built. For a child process of its own.
long peak_with_history_window(const Text& folder_path, long& before_kb);

} // namespace lorvane::bench
