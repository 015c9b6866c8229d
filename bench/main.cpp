// lorvane_bench: times the program's own code paths over data files with long histories and prints
// one table with the targets the program must meet.
//
//   lorvane_bench [--sizes 1000,10000,100000] [--repetitions 7] [--naive-repetitions 3]
//   lorvane_bench --only combine --sizes 100000 --repetitions 30     (one case alone, for a profiler)
//   lorvane_bench --write-data-file 100000 DIR    (DIR/Data/URL.ini, to try the program or a profiler on)
//
// It runs on the offscreen platform. The peak memory of the 100,000-record history window is read in
// a child run of this program (--peak-history <folder>), so that no earlier case raises it.

#include "cases.h"
#include "data_files.h"
#include "report.h"

#include "app/shared_lists.h"
#include "platform/http.h"
#include "ui/main/look.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace lorvane::bench;
using lorvane::Text;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::size_t naive_size = 10000;
constexpr std::size_t peak_size = 100000;

struct Options {
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    int repetitions = 7;
    int naive_repetitions = 3;
    QString peak_folder; // set in the child run
    QString only;        // one case alone
    std::size_t write_records = 0;
    QString write_folder;
};

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: lorvane_bench [--sizes N,N,...] [--repetitions N] [--naive-repetitions N]\n"
                         "                     [--only floor|listing|naive|history|remove|combine|start-up|empty]\n"
                         "       lorvane_bench --write-data-file RECORDS FOLDER\n");
    std::exit(EXIT_FAILURE);
}

Options parse(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (i + 1 >= arguments.size()) {
            usage();
        }
        const QString value = arguments[++i];
        bool ok = true;
        if (name == u"--sizes") {
            options.sizes.clear();
            for (const QString& size : value.split(u',')) {
                options.sizes.push_back(size.toULongLong(&ok));
                ok = ok && options.sizes.back() > 0;
            }
        } else if (name == u"--repetitions") {
            options.repetitions = value.toInt(&ok);
            ok = ok && options.repetitions > 0;
        } else if (name == u"--naive-repetitions") {
            options.naive_repetitions = value.toInt(&ok);
            ok = ok && options.naive_repetitions > 0;
        } else if (name == u"--only") {
            options.only = value;
        } else if (name == u"--write-data-file" && i + 1 < arguments.size()) {
            options.write_records = value.toULongLong(&ok);
            options.write_folder = arguments[++i];
        } else if (name == u"--peak-history") {
            options.peak_folder = value;
        } else {
            ok = false;
        }
        if (!ok) {
            usage();
        }
    }
    return options;
}

// The same program in a process of its own, over the folder's file; false when it failed.
bool measure_peak(const ProgramFolder& folder, Peak& peak) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--peak-history"), QString::fromStdString(folder.path())});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        return false;
    }
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
    if (figures.size() != 2) {
        return false;
    }
    peak.records = folder.records();
    peak.before_kb = figures[0].toLong();
    peak.open_kb = figures[1].toLong();
    return peak.open_kb > 0;
}

Figures measure(std::size_t records, const Options& options) {
    std::fprintf(stderr, "lorvane_bench: %zu records...\n", records);
    const ProgramFolder folder(records);
    Figures f;
    f.records = records;
    f.file_bytes = folder.file_bytes();
    const FloorTimes floor = time_floor(folder, options.repetitions);
    f.floor = floor.total;
    f.floor_read = floor.read;
    f.floor_rewrite = floor.rewrite;
    f.listing = time_snapshot_listing(folder, options.repetitions);
    if (records == naive_size) {
        if (!listings_agree(folder)) {
            std::fprintf(stderr, "lorvane_bench: the two ways of listing the history disagree\n");
            std::exit(EXIT_FAILURE);
        }
        f.naive = time_naive_listing(folder, options.naive_repetitions);
    }
    f.history_window = time_history_window(folder, options.repetitions);
    f.remove_ticked = time_remove_ticked(folder, options.repetitions);
    f.combine = time_combine(folder, options.repetitions);
    f.start_up = time_start_up(folder, options.repetitions);
    f.empty_window = time_empty_window(options.repetitions);
    if (records == peak_size) {
        folder.restore();
        Peak peak;
        if (!measure_peak(folder, peak)) {
            std::fprintf(stderr, "lorvane_bench: the peak-memory run failed\n");
            std::exit(EXIT_FAILURE);
        }
        f.peak = peak;
    }
    return f;
}

bool write_data_file(std::size_t records, const QString& folder) {
    const Text bytes = generate_data_file(records);
    QFile file(folder + u"/Data/URL.ini"_s);
    const auto size = static_cast<qint64>(bytes.size());
    return QDir(folder).mkpath(u"Data"_s) && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), size) == size;
}

// One case alone over each size, so that a profiler sees nothing else.
void run_only(const Options& options) {
    using Case = double (*)(const ProgramFolder&, int);
    const std::vector<std::pair<QString, Case>> cases{
        {QStringLiteral("floor"),
         [](const ProgramFolder& folder, int repetitions) { return time_floor(folder, repetitions).total; }},
        {QStringLiteral("listing"), time_snapshot_listing},
        {QStringLiteral("naive"), time_naive_listing},
        {QStringLiteral("history"), time_history_window},
        {QStringLiteral("remove"), time_remove_ticked},
        {QStringLiteral("combine"), time_combine},
        {QStringLiteral("start-up"), time_start_up},
        {QStringLiteral("empty"), [](const ProgramFolder&, int repetitions) { return time_empty_window(repetitions); }},
    };
    const auto found = std::find_if(cases.begin(), cases.end(), [&](const auto& c) { return c.first == options.only; });
    if (found == cases.end()) {
        usage();
    }
    for (const std::size_t records : options.sizes) {
        const ProgramFolder folder(records);
        const double ms = found->second(folder, options.repetitions);
        std::printf("%s at %zu records: %.2f ms (median of %d runs)\n", qPrintable(options.only), records, ms,
                    options.repetitions);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    lorvane::apply_program_look();
    // As the program starts: the busy pointer around real fetches, the shared lists made first.
    lorvane::set_busy_hooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                            [] { QApplication::restoreOverrideCursor(); });
    lorvane::link_names();
    lorvane::history_keys();
    answer_the_world_at_once();

    if (!options.peak_folder.isEmpty()) {
        long before_kb = 0;
        const long open_kb = peak_with_history_window(options.peak_folder.toStdString(), before_kb);
        std::printf("%ld %ld", before_kb, open_kb);
        return EXIT_SUCCESS;
    }

    if (!options.write_folder.isEmpty()) {
        return write_data_file(options.write_records, options.write_folder) ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (!options.only.isEmpty()) {
        run_only(options);
        return EXIT_SUCCESS;
    }
    std::vector<Figures> all;
    for (const std::size_t records : options.sizes) {
        all.push_back(measure(records, options));
    }
    print_report(all, Settings{options.repetitions, options.naive_repetitions});
    return EXIT_SUCCESS;
}
