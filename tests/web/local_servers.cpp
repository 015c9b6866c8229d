#include "local_servers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace lorvane::testing {
namespace {

constexpr int start_timeout_ms = 30000;
// Connections that fill a listen queue of length 0 (the kernel allows one more than the length).
constexpr int queue_fillers = 3;
constexpr auto queue_fill_wait = std::chrono::milliseconds(100);
constexpr auto stop_timeout = std::chrono::seconds(5);
constexpr auto stop_poll = std::chrono::milliseconds(20);

class ServerProcess {
public:
    ServerProcess() {
        char dir_template[] = "/tmp/lorvane-web-servers-XXXXXX";
        if (mkdtemp(dir_template) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = dir_template;
        int to_child[2];
        int from_child[2];
        if (pipe2(to_child, O_CLOEXEC) != 0 || pipe2(from_child, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
        std::vector<std::string> args{LORVANE_PYTHON, LORVANE_LOCAL_SERVERS_SCRIPT, dir_};
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(to_child[0]);
        close(from_child[1]);
        stdin_fd_ = to_child[1];
        if (rc != 0) {
            close(from_child[0]);
            throw std::runtime_error("cannot start " LORVANE_LOCAL_SERVERS_SCRIPT);
        }
        const std::string line = read_line(from_child[0]);
        close(from_child[0]);
        parse(line);
    }

    ~ServerProcess() {
        // Closing its standard input ends the script; it is killed if it lingers.
        close(stdin_fd_);
        const auto deadline = std::chrono::steady_clock::now() + stop_timeout;
        while (waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(stop_poll);
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    const LocalServers& servers() const { return servers_; }

private:
    static std::string read_line(int fd) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(start_timeout_ms);
        while (line.find('\n') == std::string::npos) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                throw std::runtime_error("the local servers did not start in time");
            }
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                throw std::runtime_error("the local servers ended before starting");
            }
            line.append(buffer, static_cast<std::size_t>(n));
        }
        return line.substr(0, line.find('\n'));
    }

    void parse(const std::string& line) {
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            const auto eq = word.find('=');
            const std::string key = word.substr(0, eq);
            const std::string value = word.substr(eq + 1);
            if (key == "http") {
                servers_.http_port = std::stoi(value);
            } else if (key == "https") {
                servers_.https_port = std::stoi(value);
            } else if (key == "https_wrong_name") {
                servers_.https_wrong_name_port = std::stoi(value);
            } else if (key == "ca") {
                servers_.ca_file = value;
            }
        }
        if (servers_.http_port == 0 || servers_.https_port == 0 || servers_.https_wrong_name_port == 0) {
            throw std::runtime_error("unexpected start line from the local servers: " + line);
        }
    }

    std::string dir_;
    pid_t pid_ = -1;
    int stdin_fd_ = -1;
    LocalServers servers_;
};

} // namespace

std::string LocalServers::http(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(http_port) + path;
}

std::string LocalServers::https(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(https_port) + path;
}

const LocalServers& local_servers() {
    static ServerProcess process;
    return process.servers();
}

namespace {

// Binds `fd` to a free port on 127.0.0.1 and returns its address.
sockaddr_in bind_loopback(int fd) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot bind a port on 127.0.0.1");
    }
    return address;
}

} // namespace

int closed_port() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = bind_loopback(fd);
    close(fd);
    return ntohs(address.sin_port);
}

UnansweredPort::UnansweredPort() : listener_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address = bind_loopback(listener_);
    port_ = ntohs(address.sin_port);
    listen(listener_, 0);
    for (int i = 0; i < queue_fillers; ++i) {
        const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers_.push_back(filler);
    }
    std::this_thread::sleep_for(queue_fill_wait);
}

UnansweredPort::~UnansweredPort() {
    for (const int filler : fillers_) {
        close(filler);
    }
    close(listener_);
}

} // namespace lorvane::testing
