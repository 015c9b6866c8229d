#pragma once

// A helper program started by a test, its standard output read line by line through a pipe, so
// that the test knows how far it got before it was killed.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lorvane::test {

class ChildProcess {
public:
    // Starts `args[0]` with `args` directly (no shell). A failure to start throws.
    explicit ChildProcess(const std::vector<std::string>& args);
    // A child still running is killed and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next whole line of its output, without the line feed; nothing when none came in time or
    // the output ended.
    std::optional<std::string> next_line(std::chrono::milliseconds timeout);
    // Every line still to come, up to the end of its output (it has exited or been killed).
    std::vector<std::string> remaining_lines(std::chrono::milliseconds timeout);

    void kill_now();
    // Its exit status (as waitpid reports it), or nothing when it has not ended in time.
    std::optional<int> wait_for_exit(std::chrono::milliseconds timeout);

private:
    bool fill(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int output_ = -1;
    bool reaped_ = false;
    std::optional<int> exit_status_;
    bool ended_ = false;
    std::string buffered_;
};

} // namespace lorvane::test
