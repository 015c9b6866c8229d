#include "platform/shell.h"

#include "text/gbk.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern char** environ;

namespace lorvane {
namespace {

constexpr const char* opener_program = "xdg-open";
// What execvp searches when PATH is not set.
constexpr std::string_view default_search_path = "/bin:/usr/bin";
constexpr int exec_failed_status = 127;
constexpr int first_inherited_fd_to_close = 3;

std::mutex opener_mutex;
std::function<void(const Text&)> test_opener;

bool is_executable_file(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Searches PATH the way execvp does, but before forking: between fork and exec only
// async-signal-safe calls are allowed, and the search allocates.
std::string find_on_path(std::string_view name) {
    const char* env_path = std::getenv("PATH");
    std::string_view dirs = env_path != nullptr ? std::string_view(env_path) : default_search_path;
    while (true) {
        const std::size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        // An empty entry stands for the current directory.
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + std::string(name);
        if (is_executable_file(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        dirs.remove_prefix(colon + 1);
    }
}

// Runs in the grandchild: a session of its own, default signal handling, stdin from /dev/null, no
// descriptor of the program's left open, then the opener. Only async-signal-safe calls.
[[noreturn]] void exec_detached(const char* path, char* const* argv) {
    setsid();
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        sigaction(sig, &default_action, nullptr);
    }
    sigset_t no_signals;
    sigemptyset(&no_signals);
    sigprocmask(SIG_SETMASK, &no_signals, nullptr);
    const int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd >= 0) {
        dup2(null_fd, STDIN_FILENO);
    }
    close_range(first_inherited_fd_to_close, ~0U, 0);
    execve(path, argv, environ);
    _exit(exec_failed_status);
}

// Starts `path` with `args` and waits only for the intermediate process, which leaves as soon as it
// has forked the real one; init adopts the opener, so it never becomes this program's zombie.
void spawn_detached(const std::string& path, std::vector<std::string> args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        return;
    }
    if (child == 0) {
        if (fork() == 0) {
            exec_detached(path.c_str(), argv.data());
        }
        _exit(0);
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

void open_with_desktop(const Text& address) {
    std::function<void(const Text&)> opener;
    {
        std::lock_guard lock(opener_mutex);
        opener = test_opener;
    }
    if (opener) {
        opener(address);
        return;
    }
    if (address.empty()) {
        return;
    }
    const std::string path = find_on_path(opener_program);
    if (path.empty()) {
        return;
    }
    spawn_detached(path, {opener_program, gbk_to_utf8(address)});
}

void set_browser_opener_for_tests(std::function<void(const Text&)> opener) {
    std::lock_guard lock(opener_mutex);
    test_opener = std::move(opener);
}

} // namespace lorvane
