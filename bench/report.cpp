#include "report.h"

#include <cstdio>
#include <string>

namespace lorvane::bench {

namespace {

constexpr std::size_t target_size = 100000;
constexpr std::size_t naive_size = 10000;
constexpr double window_limit_floors = 3.0;
constexpr double start_up_empty_windows = 1.5;
constexpr double peak_limit_mb = 150.0;
constexpr double speed_up_wanted = 100.0;
// Megabytes of 1,000,000 bytes, the stricter reading of the limit; VmHWM counts kB of 1,024 bytes.
constexpr double bytes_per_mb = 1e6;
constexpr double bytes_per_kb = 1024.0;

double megabytes(long kb) {
    return static_cast<double>(kb) * bytes_per_kb / bytes_per_mb;
}

const char* verdict(bool met) {
    return met ? "met" : "NOT met";
}

std::string grouped(std::size_t n) {
    std::string digits = std::to_string(n);
    for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return digits;
}

void print_table(const std::vector<Figures>& all) {
    std::printf("%9s %8s %9s %8s %8s %8s %10s %9s %8s %8s %8s %8s\n", "records", "file", "floor", "of it:", "",
                "listing", "naive", "history", "remove", "combine", "start-up", "empty");
    std::printf("%9s %8s %9s %8s %8s %8s %10s %9s %8s %8s %8s %8s\n", "", "MB", "", "read", "rewrite", "", "", "window",
                "ticked", "", "", "window");
    for (const Figures& f : all) {
        char naive[32] = "-";
        if (f.naive) {
            std::snprintf(naive, sizeof naive, "%.2f", *f.naive);
        }
        std::printf("%9s %8.2f %9.2f %8.2f %8.2f %8.2f %10s %9.2f %8.2f %8.2f %8.2f %8.2f\n",
                    grouped(f.records).c_str(), static_cast<double>(f.file_bytes) / bytes_per_mb, f.floor, f.floor_read,
                    f.floor_rewrite, f.listing, naive, f.history_window, f.remove_ticked, f.combine, f.start_up,
                    f.empty_window);
    }
}

void print_floor_target(const char* name, double figure, double floor) {
    const double limit = window_limit_floors * floor;
    std::printf("  %-40s %10.2f ms  limit %10.2f ms  %6.2f x floor       %s\n", name, figure, limit, figure / floor,
                verdict(figure <= limit));
}

void print_window_targets(const Figures& f) {
    std::printf("\nTargets at %s records:\n", grouped(f.records).c_str());
    print_floor_target("history window <= 3 x floor", f.history_window, f.floor);
    print_floor_target("remove ticked <= 3 x floor", f.remove_ticked, f.floor);
    print_floor_target("combine <= 3 x floor", f.combine, f.floor);
    const double start_limit = start_up_empty_windows * f.empty_window + f.floor;
    std::printf("  %-40s %10.2f ms  limit %10.2f ms  %6.2f x the limit   %s\n",
                "start-up <= 1.5 x empty window + floor", f.start_up, start_limit, f.start_up / start_limit,
                verdict(f.start_up <= start_limit));
    if (f.peak) {
        const double mb = megabytes(f.peak->open_kb);
        std::printf("  %-40s %10.1f MB  limit %10.1f MB  %6.2f x the limit   %s\n", "peak memory <= 150 MB", mb,
                    peak_limit_mb, mb / peak_limit_mb, verdict(mb <= peak_limit_mb));
    }
}

void print_naive_target(const Figures& f) {
    const double speed_up = *f.naive / f.listing;
    std::printf("\nTarget at %s records:\n", grouped(f.records).c_str());
    std::printf("  %-40s %10.2f ms  naive %10.2f ms  %6.0f x faster      %s\n", "program >= 100 x faster than naive",
                f.listing, *f.naive, speed_up, verdict(speed_up >= speed_up_wanted));
}

} // namespace

void print_report(const std::vector<Figures>& all, const Settings& settings) {
    std::printf(
        "Lorvane benchmark: the program's own code paths on the offscreen platform, 50 links in the data file.\n");
    std::printf("Times in ms, each the median of %d run%s after one warm-up run (naive: median of %d run%s, no "
                "warm-up).\n",
                settings.repetitions, settings.repetitions == 1 ? "" : "s", settings.naive_repetitions,
                settings.naive_repetitions == 1 ? "" : "s");
    std::printf("floor = read (one read and parse of the file, with the history's key listing)\n"
                "      + rewrite (one entry written: the file replaced atomically and flushed to the disk);\n"
                "listing: the history list's rows from one snapshot; naive: the same rows, the file read per key;\n"
                "remove ticked: 1,000 ticked records (all in a smaller history) up to the list painted again.\n\n");
    print_table(all);
    for (const Figures& f : all) {
        if (f.peak) {
            std::printf("\nPeak memory (VmHWM, MB of 10^6 bytes) with the %s-record history window open: %.1f MB "
                        "(%.1f MB before it was built)\n",
                        grouped(f.peak->records).c_str(), megabytes(f.peak->open_kb), megabytes(f.peak->before_kb));
        }
    }
    for (const Figures& f : all) {
        if (f.records == target_size) {
            print_window_targets(f);
        }
    }
    for (const Figures& f : all) {
        if (f.records == naive_size && f.naive) {
            print_naive_target(f);
        }
    }
}

} // namespace lorvane::bench
