#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lorvane::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto reap_poll = std::chrono::milliseconds(5);

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    output_ = pipe_fds[0];
    if (rc != 0) {
        ::close(output_);
        throw std::runtime_error("cannot start " + args.at(0));
    }
}

ChildProcess::~ChildProcess() {
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(output_);
}

bool ChildProcess::fill(Clock::time_point deadline) {
    if (ended_) {
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd p{output_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
    if (ready <= 0) {
        return false;
    }
    char buffer[4096];
    const ssize_t n = ::read(output_, buffer, sizeof buffer);
    if (n <= 0) {
        ended_ = n == 0 || errno != EINTR;
        return !ended_;
    }
    buffered_.append(buffer, static_cast<std::size_t>(n));
    return true;
}

std::optional<std::string> ChildProcess::next_line(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const std::size_t end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        if (!fill(deadline)) {
            return std::nullopt;
        }
    }
}

std::vector<std::string> ChildProcess::remaining_lines(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::vector<std::string> lines;
    while (auto line = next_line(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()))) {
        lines.push_back(*line);
    }
    return lines;
}

void ChildProcess::kill_now() {
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
    }
}

std::optional<int> ChildProcess::wait_for_exit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!reaped_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            exit_status_ = status;
        } else if (Clock::now() > deadline) {
            return std::nullopt;
        } else {
            std::this_thread::sleep_for(reap_poll);
        }
    }
    return exit_status_;
}

} // namespace lorvane::test
