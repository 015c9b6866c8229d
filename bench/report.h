#pragma once

// The benchmark's printed table and the targets with their ratios.

#include <cstddef>
#include <optional>
#include <vector>

namespace lorvane::bench {

struct Peak {
    std::size_t records = 0;
    long before_kb = 0; // VmHWM with the main window open, before the history window was built
    long open_kb = 0;   // VmHWM once the history window had been painted
};

// One size's medians, in milliseconds.
struct Figures {
    std::size_t records = 0;
    std::size_t file_bytes = 0;
    double floor = 0;
    double floor_read = 0;    // of the floor: the read, the parse and the listing
    double floor_rewrite = 0; // of the floor: the atomic rewrite
    double listing = 0;
    std::optional<double> naive;
    double history_window = 0;
    double remove_ticked = 0;
    double combine = 0;
    double start_up = 0;
    double empty_window = 0;
    std::optional<Peak> peak;
};

struct Settings {
    int repetitions = 0;
    int naive_repetitions = 0;
};

// Prints the table of all sizes, the peak memory and every target with its ratio and whether it is
// met. The window targets are judged at 100,000 records and the naive comparison at 10,000, when
// those sizes were measured.
void print_report(const std::vector<Figures>& all, const Settings& settings);

} // namespace lorvane::bench
