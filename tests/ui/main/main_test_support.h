#pragma once

// What the main window's tests share: the browser recorder, a fixed clock in a fixed time zone, a
// watchdog for modal windows, GBK bytes as QByteArray, and clicks delivered as the window system
// delivers them.

#include "window_driving.h"

#include "platform/clock.h"
#include "platform/shell.h"
#include "text/text.h"

#include <QApplication>
#include <QByteArray>
#include <QByteArrayList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

namespace lorvane::test {

inline QByteArray bytes(const Text& text) {
    return QByteArray::fromStdString(text);
}

// Every address handed to the browser while it lives, in order; the desktop is not asked.
class BrowserRecorder {
public:
    BrowserRecorder() {
        set_browser_opener_for_tests([this](const Text& address) {
            opened_.append(bytes(address));
            if (on_open_) {
                on_open_();
            }
        });
    }
    ~BrowserRecorder() { set_browser_opener_for_tests({}); }
    BrowserRecorder(const BrowserRecorder&) = delete;
    BrowserRecorder& operator=(const BrowserRecorder&) = delete;

    const QByteArrayList& opened() const { return opened_; }
    // Called after each recorded opening.
    void on_open(std::function<void()> call) { on_open_ = std::move(call); }

private:
    QByteArrayList opened_;
    std::function<void()> on_open_;
};

// 17 June 2020, 9:05:03 UTC: its record key is "2020年6月17日9时5分3秒" when the local zone is UTC.
inline constexpr std::time_t fixed_moment = 1592384703;

// The local time zone is UTC and the clock stands at `moment` while this lives.
class FixedClock {
public:
    explicit FixedClock(std::time_t moment = fixed_moment) {
        setenv("TZ", "UTC", 1);
        tzset();
        set_clock_for_tests([moment] { return moment; });
    }
    ~FixedClock() { set_clock_for_tests({}); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// A modal run that a failing check left open would hang the test: whatever modal window is still up
// after this long is closed.
inline std::unique_ptr<QTimer> modal_watchdog() {
    constexpr int patience_ms = 10000;
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(patience_ms);
    QObject::connect(timer.get(), &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    timer->start();
    return timer;
}

} // namespace lorvane::test
