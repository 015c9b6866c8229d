// The cases without a window: the floor, and the history list's rows built the snapshot way and the
// per-key way.

#include "cases.h"
#include "data_files.h"
#include "measure.h"

#include "platform/check_list.h"
#include "platform/run_dir.h"
#include "store/data_file.h"
#include "store/section_keys.h"
#include "store/snapshot.h"
#include "ui/history/history_record.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace lorvane::bench {

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "lorvane_bench: %s\n", what);
    std::exit(EXIT_FAILURE);
}

// One row of the history list, as the history window fills it.
CheckListRow history_row(std::size_t index, const Text& key, const Text& value) {
    HistoryRecord record = history_record(key, value);
    return {key,
            {format_integer(static_cast<std::int64_t>(index) + 1), std::move(record.browse_date),
             std::move(record.title), std::move(record.address)}};
}

std::vector<CheckListRow> snapshot_rows() {
    const DataSnapshot data = DataSnapshot::load();
    std::vector<CheckListRow> rows;
    if (!section_present_with_entries(data.text(), history_section())) {
        return rows;
    }
    const TextList keys = data.list_section_keys(section_header(history_section()));
    rows.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        rows.push_back(history_row(i, keys[i], data.read_entry(history_section(), keys[i])));
    }
    return rows;
}

// The way the history window's algorithms were first written: the presence test and the key listing
// each read the file, and every record's value is one read_entry, which reads and parses the whole
// file again.
std::vector<CheckListRow> per_key_rows() {
    std::vector<CheckListRow> rows;
    if (!section_present_with_entries(read_data_text(), history_section())) {
        return rows;
    }
    const TextList keys = list_section_keys(section_header(history_section()));
    rows.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        rows.push_back(history_row(i, keys[i], read_entry(history_section(), keys[i])));
    }
    return rows;
}

double time_rows(const ProgramFolder& folder, int repetitions, std::vector<CheckListRow> (*build)(), bool warm_up) {
    folder.restore();
    return median_of_runs(
        repetitions,
        [&] {
            const Stopwatch watch;
            const std::vector<CheckListRow> rows = build();
            const double ms = watch.elapsed_ms();
            if (rows.size() != folder.records()) {
                fail("the history list does not hold every generated record");
            }
            return ms;
        },
        warm_up);
}

} // namespace

ProgramFolder::ProgramFolder(std::size_t records)
    : path_(QFile::encodeName(dir_.path()).toStdString()), records_(records), bytes_(generate_data_file(records)) {
    if (!dir_.isValid() || !QDir(dir_.path()).mkpath(QStringLiteral("Data"))) {
        fail("no temporary program folder");
    }
    set_run_dir_for_tests(path_);
    restore();
}

ProgramFolder::~ProgramFolder() {
    set_run_dir_for_tests({});
}

void ProgramFolder::restore() const {
    QFile file(QString::fromStdString(data_file_path()));
    const auto size = static_cast<qint64>(bytes_.size());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes_.data(), size) != size) {
        fail("cannot write the data file");
    }
}

FloorTimes time_floor(const ProgramFolder& folder, int repetitions) {
    folder.restore();
    std::vector<double> totals;
    std::vector<double> reads;
    std::vector<double> rewrites;
    // The first run warms up and is not counted.
    for (int run = 0; run <= repetitions; ++run) {
        const Stopwatch watch;
        const DataSnapshot data = DataSnapshot::load();
        const TextList keys = data.list_section_keys(section_header(history_section()));
        const double read = watch.elapsed_ms();
        const bool written = write_entry(selector_section(), selector_key(), "3");
        const double total = watch.elapsed_ms();
        if (keys.size() != folder.records() || !written) {
            fail("the floor did not read every record or did not write the file");
        }
        if (run > 0) {
            totals.push_back(total);
            reads.push_back(read);
            rewrites.push_back(total - read);
        }
    }
    return {median(totals), median(reads), median(rewrites)};
}

double time_snapshot_listing(const ProgramFolder& folder, int repetitions) {
    return time_rows(folder, repetitions, snapshot_rows, true);
}

double time_naive_listing(const ProgramFolder& folder, int repetitions) {
    // A run takes minutes; the file is in the page cache already from the snapshot runs.
    return time_rows(folder, repetitions, per_key_rows, false);
}

bool listings_agree(const ProgramFolder& folder) {
    folder.restore();
    const std::vector<CheckListRow> snapshot = snapshot_rows();
    const std::vector<CheckListRow> per_key = per_key_rows();
    if (snapshot.size() != per_key.size()) {
        return false;
    }
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        if (snapshot[i].key != per_key[i].key || snapshot[i].cells != per_key[i].cells) {
            return false;
        }
    }
    return true;
}

} // namespace lorvane::bench
