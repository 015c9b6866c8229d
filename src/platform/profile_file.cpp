// The profile facility's side that touches the disk: reading a file whole, replacing it
// atomically, and the lock that serialises the copies of the program.

#include "platform/profile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lorvane::profile {

namespace {

// The folder and the name of a file path; a path without "/" is in the current directory.
std::pair<Text, Text> split_path(const Text& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == Text::npos) {
        return {".", path};
    }
    return {slash == 0 ? Text("/") : path.substr(0, slash), path.substr(slash + 1)};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; false when close reports an error (a write that did not reach the file).
    bool reset() {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

enum class ReadStatus { ok, absent, failed };

struct FileState {
    ReadStatus status = ReadStatus::failed;
    Text bytes;
    struct stat info {};
};

// Reads a regular file whole. A directory or anything else in its place is a failure.
FileState read_whole(const Text& path) {
    FileState state;
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        state.status = errno == ENOENT ? ReadStatus::absent : ReadStatus::failed;
        return state;
    }
    if (::fstat(fd.get(), &state.info) != 0 || !S_ISREG(state.info.st_mode)) {
        return state;
    }
    // The buffer is allocated once at the size fstat gives. The file may grow while it is read (and
    // files under /proc report no size at all), so reading goes on to the end, but what comes after
    // that size arrives in a small buffer and is appended: growing the big one would double its
    // capacity, and a long history would then hold twice its size in memory for as long as its
    // document lives.
    state.bytes.resize(static_cast<std::size_t>(state.info.st_size));
    std::size_t got = 0;
    constexpr std::size_t tail_size = 64 * 1024;
    std::array<char, tail_size> tail;
    for (;;) {
        const bool in_place = got < state.bytes.size();
        char* const into = in_place ? state.bytes.data() + got : tail.data();
        const std::size_t room = in_place ? state.bytes.size() - got : tail.size();
        const ssize_t n = ::read(fd.get(), into, room);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return state;
        }
        if (n == 0) {
            break;
        }
        if (!in_place) {
            state.bytes.append(tail.data(), static_cast<std::size_t>(n));
        }
        got += static_cast<std::size_t>(n);
    }
    state.bytes.resize(got); // the file may also have shrunk
    state.status = ReadStatus::ok;
    return state;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The permission bits a new file gets from open(): 0666 less the process's umask. Read from
// /proc because umask() can only be asked by changing it.
mode_t new_file_mode() {
    constexpr mode_t usual_umask = 022;
    constexpr mode_t all_read_write = 0666;
    mode_t mask = usual_umask;
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned value = 0;
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(status);
    }
    return all_read_write & ~mask;
}

bool sync_folder(const Text& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() && ::fsync(fd.get()) == 0;
}

// The temporary file of a change is "." + name + "." and six letters or digits, beside the file.
constexpr std::string_view temporary_letters = "XXXXXX";

Text temporary_prefix(const Text& name) {
    return "." + name + ".";
}

// A copy of the program killed between making its temporary file and renaming it leaves that file
// behind, as large as the data file. Under the lock no other copy is writing one, so whatever
// temporary file is there now is such a leftover and goes.
void remove_leftover_temporaries(const Text& folder, const Text& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const Text prefix = temporary_prefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entry_name = entry->d_name;
        if (entry_name.size() != prefix.size() + temporary_letters.size() || !entry_name.starts_with(prefix)) {
            continue;
        }
        const std::string_view letters = entry_name.substr(prefix.size());
        const bool generated = std::all_of(letters.begin(), letters.end(),
                                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
        if (generated) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so that the file is
// always either the old one or the new one, also after a crash or a full disk.
bool replace_file(const Text& path, std::string_view bytes, const FileState& old) {
    const auto [folder, name] = split_path(path);
    remove_leftover_temporaries(folder, name);
    Text temporary = folder + "/" + temporary_prefix(name) + Text(temporary_letters);
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    bool ok = true;
    if (old.status == ReadStatus::ok) {
        // As root we may be rewriting another user's file; it stays theirs where the system allows.
        if (::fchown(fd.get(), old.info.st_uid, old.info.st_gid) != 0) {
            // Not permitted for an ordinary user, and not needed: the file was theirs already.
        }
        ok = ::fchmod(fd.get(), old.info.st_mode & 07777) == 0;
    } else {
        ok = ::fchmod(fd.get(), new_file_mode()) == 0;
    }
    ok = ok && write_all(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.reset() && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    return sync_folder(folder);
}

// Read-only as the Windows read-only attribute makes a file: no owner-write bit, or no write access.
// access() alone would let root through.
bool is_writable(const Text& path, const FileState& state) {
    return state.status == ReadStatus::absent ||
           ((state.info.st_mode & S_IWUSR) != 0 && ::access(path.c_str(), W_OK) == 0);
}

// The advisory lock that serialises read-modify-write between copies of the program. It is taken on
// a file of its own because every change replaces the data file's inode.
FileDescriptor lock_for(const Text& path) {
    const auto [folder, name] = split_path(path);
    const Text lock_path = folder + "/." + name + ".lock";
    constexpr mode_t lock_mode = 0666;
    FileDescriptor fd(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, lock_mode));
    if (!fd.valid()) {
        fd = FileDescriptor(::open(lock_path.c_str(), O_RDONLY | O_CLOEXEC)); // another user's lock file
    }
    while (fd.valid() && ::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            fd.reset();
        }
    }
    return fd;
}

} // namespace

std::optional<Text> read_file(const Text& path) {
    FileState state = read_whole(path);
    if (state.status != ReadStatus::ok) {
        return std::nullopt;
    }
    return std::move(state.bytes);
}

bool update(const Text& path, const std::function<bool(Document&)>& change) {
    // Without the lock nothing is written, but a change that needs no writing still holds.
    const FileDescriptor lock = lock_for(path);
    FileState state = read_whole(path);
    if (state.status == ReadStatus::failed) {
        return false;
    }
    Document document(std::move(state.bytes));
    if (!change(document)) {
        return true;
    }
    return lock.valid() && is_writable(path, state) && replace_file(path, document.bytes(), state);
}

Text read_value(const Text& path, std::string_view section, std::string_view key) {
    std::optional<Text> bytes = read_file(path);
    if (!bytes) {
        return {};
    }
    return Document(std::move(*bytes)).value(section, key).value_or(Text());
}

bool write_value(const Text& path, std::string_view section, std::string_view key, std::string_view value) {
    if (!is_valid_section(section) || !is_valid_key(key)) {
        return false;
    }
    return update(path, [&](Document& document) { return document.set_value(section, key, value); });
}

bool delete_key(const Text& path, std::string_view section, std::string_view key) {
    if (!is_valid_section(section) || !is_valid_key(key)) {
        return false;
    }
    return update(path, [&](Document& document) { return document.remove_key(section, key); });
}

bool delete_section(const Text& path, std::string_view section) {
    if (!is_valid_section(section)) {
        return false;
    }
    return update(path, [&](Document& document) { return document.remove_section(section); });
}

} // namespace lorvane::profile
