#pragma once

// The local HTTP and HTTPS servers of local_servers.py, started once for a test program and
// stopped when it ends. Everything they serve stays on 127.0.0.1.

#include <string>
#include <sys/types.h>
#include <vector>

namespace lorvane::testing {

struct LocalServers {
    int http_port = 0;
    int https_port = 0;
    // Presents a certificate from the test authority for another host name.
    int https_wrong_name_port = 0;
    // The test certificate authority, which the system's store does not hold.
    std::string ca_file;

    std::string http(const std::string& path) const;
    std::string https(const std::string& path) const;
};

// Starts the servers on first call (certificates made in a fresh temporary directory) and returns
// their ports; a failure to start fails the calling test through an exception.
const LocalServers& local_servers();

// A port on 127.0.0.1 on which nothing listens.
int closed_port();

// A listener on 127.0.0.1 that never accepts and whose queue is already full, so that a further
// connection attempt is never answered: the kernel drops its SYNs.
class UnansweredPort {
public:
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    int port() const { return port_; }

private:
    int listener_ = -1;
    std::vector<int> fillers_;
    int port_ = 0;
};

} // namespace lorvane::testing
