#pragma once

// Timing and waiting helpers of the benchmark: a stopwatch, the median of repeated runs, waiting
// until a window has really been painted, and the process's peak memory.

#include "text/text.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <vector>

class QWidget;

namespace lorvane::bench {

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double elapsed_ms() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// The median of some times; 0 for none.
double median(std::vector<double> times);

// Runs `run` once to warm caches and the toolkit up (unless `warm_up` is false), then `repetitions`
// times, and returns the median of the times it reported. Each run times only its own measured part,
// so that preparing the data file again between runs is not counted.
double median_of_runs(int repetitions, const std::function<double()>& run, bool warm_up = true);

// Notes the paint events a widget receives; the toolkit paints a window and all its children in
// one pass, so once a paint of the watched widget has been handled the window is on the screen.
class PaintProbe : public QObject {
public:
    explicit PaintProbe(QWidget& watched);
    ~PaintProbe() override;
    PaintProbe(const PaintProbe&) = delete;
    PaintProbe& operator=(const PaintProbe&) = delete;

    void reset() { painted_ = false; }
    bool painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& watched_;
    bool painted_ = false;
};

// Handles events until `probe` has seen a paint; exits the program if none comes within a minute,
// since every figure after that would be wrong.
void wait_until_painted(const PaintProbe& probe);

// Handles the events already posted, deferred deletions included.
void drain_events();

// VmHWM of this process from /proc/self/status, in kB; 0 when it cannot be read.
long peak_resident_kb();

// "https://127.0.0.1:<port>/rjsm.php" for a port that was free a moment ago and has nothing
// listening: the connection is refused at once.
Text closed_local_address();

} // namespace lorvane::bench
