#include "platform/run_dir.h"

#include <cerrno>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {

namespace {

std::mutex& override_mutex() {
    static std::mutex mutex;
    return mutex;
}

Text& run_dir_override() {
    static Text dir;
    return dir;
}

// A path without its trailing separators; the root folder becomes empty, so that appending
// "/Data" still names a folder below it.
Text without_trailing_separators(Text path) {
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

Text executable_folder() {
    constexpr std::size_t initial_size = 256;
    Text path(initial_size, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            return "."; // no /proc: the current directory, which start-up makes the program's folder
        }
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    return without_trailing_separators(path.substr(0, path.rfind('/') + 1));
}

} // namespace

Text run_dir() {
    {
        const std::lock_guard lock(override_mutex());
        if (!run_dir_override().empty()) {
            return run_dir_override();
        }
    }
    // File system paths are bytes and pass through unconverted; the executable may move between calls.
    return executable_folder();
}

void set_run_dir_for_tests(const Text& dir) {
    const std::lock_guard lock(override_mutex());
    run_dir_override() = dir.empty() ? Text() : without_trailing_separators(dir);
}

bool make_directory(const Text& path) {
    constexpr mode_t folder_mode = 0777; // less the umask, as any new folder
    if (::mkdir(path.c_str(), folder_mode) == 0) {
        return true;
    }
    struct stat info {};
    return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace lorvane
