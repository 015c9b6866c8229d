#include "measure.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace lorvane::bench {

namespace {

constexpr double paint_deadline_ms = 60000;
constexpr int event_slice_ms = 10;

} // namespace

double median_of_runs(int repetitions, const std::function<double()>& run, bool warm_up) {
    if (warm_up) {
        run();
    }
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        times.push_back(run());
    }
    return median(std::move(times));
}

double median(std::vector<double> times) {
    if (times.empty()) {
        return 0;
    }
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

PaintProbe::PaintProbe(QWidget& watched) : watched_(watched) {
    watched_.installEventFilter(this);
}

PaintProbe::~PaintProbe() {
    watched_.removeEventFilter(this);
}

bool PaintProbe::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &watched_ && event->type() == QEvent::Paint) {
        painted_ = true;
    }
    return false;
}

void wait_until_painted(const PaintProbe& probe) {
    const Stopwatch waiting;
    while (!probe.painted()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, event_slice_ms);
        if (waiting.elapsed_ms() > paint_deadline_ms) {
            std::fprintf(stderr, "lorvane_bench: a window was not painted within a minute\n");
            std::exit(EXIT_FAILURE);
        }
    }
    // The paint event of the watched widget came first in its pass; finish the pass.
    QCoreApplication::processEvents();
}

void drain_events() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

long peak_resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::strtol(line.c_str() + sizeof "VmHWM:" - 1, nullptr, 10);
        }
    }
    return 0;
}

Text closed_local_address() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 1; // tcpmux: nothing listens there on an ordinary machine
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd); // bound but never listening, and now closed: connections are refused
    }
    return "https://127.0.0.1:" + std::to_string(port) + "/rjsm.php";
}

} // namespace lorvane::bench
