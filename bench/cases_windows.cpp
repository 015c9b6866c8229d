// The cases with windows: the history window, removing ticked records, combine-and-open, the main
// window's start-up and a bare window. All run offscreen and wait for the real paint.

#include "cases.h"
#include "data_files.h"
#include "measure.h"

#include "platform/check_list.h"
#include "platform/clock.h"
#include "platform/http.h"
#include "platform/message_box.h"
#include "platform/run_dir.h"
#include "platform/shell.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "ui/history/history_window.h"
#include "ui/main/main_window.h"
#include "ui/main/marquee.h"

#include <QPlainTextEdit>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace lorvane::bench {

namespace {

constexpr std::size_t ticked_records = 1000;
// The main window's client area, for the bare window that stands beside it.
constexpr QSize main_client_size{696, 288};

constexpr std::string_view titled_page = "<html><head><meta charset=\"utf-8\"><title>庆余年 第12集 | 腾讯视频</title>"
                                         "</head><body></body></html>";

std::size_t browser_openings = 0;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "lorvane_bench: %s\n", what);
    std::exit(EXIT_FAILURE);
}

QWidget& list_viewport(HistoryWindow& window) {
    return *window.历史记录超级列表框->viewport();
}

// Shows `window` and returns once its list has been painted.
void show_painted(HistoryWindow& window) {
    const PaintProbe probe(list_viewport(window));
    window.show();
    wait_until_painted(probe);
}

} // namespace

void answer_the_world_at_once() {
    set_fetcher_for_tests([](const Text&) { return std::string(titled_page); });
    set_browser_opener_for_tests([](const Text&) { ++browser_openings; });
    set_announcement_endpoint_for_tests(closed_local_address());
}

double time_history_window(const ProgramFolder& folder, int repetitions) {
    folder.restore();
    MainWindow main;
    return median_of_runs(repetitions, [&] {
        const Stopwatch watch;
        const auto window = std::make_unique<HistoryWindow>(main);
        show_painted(*window);
        const double ms = watch.elapsed_ms();
        if (window->records().row_count() != static_cast<int>(folder.records())) {
            fail("the history window does not list every record");
        }
        return ms;
    });
}

double time_remove_ticked(const ProgramFolder& folder, int repetitions) {
    folder.restore();
    MainWindow main;
    const std::size_t ticked = std::min(ticked_records, folder.records());
    return median_of_runs(repetitions, [&] {
        folder.restore();
        const auto window = std::make_unique<HistoryWindow>(main);
        show_painted(*window);
        // Spread over the whole list, so that no two ticked rows are neighbours in a long history.
        const std::size_t step = folder.records() / ticked;
        for (std::size_t i = 0; i < ticked; ++i) {
            window->records().set_ticked(static_cast<int>(i * step), true);
        }
        drain_events();
        const PaintProbe probe(list_viewport(*window));
        MessageBox::setNextAnswer(MessageBox::Ok);

        const Stopwatch watch;
        window->remove_ticked_records();
        wait_until_painted(probe);
        const double ms = watch.elapsed_ms();

        MessageBox::clearLog();
        if (window->records().row_count() != static_cast<int>(folder.records() - ticked)) {
            fail("removing the ticked records left the wrong rows");
        }
        return ms;
    });
}

double time_combine(const ProgramFolder& folder, int repetitions) {
    folder.restore();
    MainWindow main;
    main.编辑框1->setPlainText(to_qstring(sample_page_address()));
    // A new second for every run, so that each run adds a record as a user's click does.
    std::time_t now = after_generated_history();
    set_clock_for_tests([&now] { return now; });
    const std::size_t openings_before = browser_openings;
    const double ms = median_of_runs(repetitions, [&] {
        ++now;
        const Stopwatch watch;
        main.combine_and_open();
        return watch.elapsed_ms();
    });
    const bool recorded = !read_entry(history_section(), format_timestamp(now)).empty();
    set_clock_for_tests({});
    if (browser_openings - openings_before != static_cast<std::size_t>(repetitions) + 1 || !recorded) {
        fail("combine-and-open did not open the browser or record the opening every time");
    }
    return ms;
}

double time_start_up(const ProgramFolder& folder, int repetitions) {
    folder.restore();
    // The real client: the announcement fetch is refused by the closed port.
    set_fetcher_for_tests({});
    const double ms = median_of_runs(repetitions, [&] {
        const Stopwatch watch;
        const auto main = std::make_unique<MainWindow>();
        const PaintProbe probe(*main);
        main->show();
        wait_until_painted(probe);
        return watch.elapsed_ms();
    });
    answer_the_world_at_once();
    return ms;
}

double time_empty_window(int repetitions) {
    return median_of_runs(repetitions, [] {
        const Stopwatch watch;
        const auto window = std::make_unique<QWidget>();
        window->resize(main_client_size);
        const PaintProbe probe(*window);
        window->show();
        wait_until_painted(probe);
        return watch.elapsed_ms();
    });
}

long peak_with_history_window(const Text& folder_path, long& before_kb) {
    set_run_dir_for_tests(folder_path);
    MainWindow main;
    before_kb = peak_resident_kb();
    HistoryWindow window(main);
    show_painted(window);
    return peak_resident_kb();
}

} // namespace lorvane::bench
