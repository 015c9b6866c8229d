#pragma once

// The thin layer over the HTTP client (libcurl). One blocking GET in the form the program has always
// sent: HTTP/1.0, an old Internet Explorer user agent, "Accept: */*" and nothing else of its own.

#include "text/text.h"

#include <cstddef>
#include <functional>
#include <string>

namespace lorvane {

// Limits of one fetch. The defaults are the program's own; tests shorten the time-outs and trust the
// certificate authority they made. Certificate checks are never switched off.
struct HttpSettings {
    long connect_timeout_s = 10;
    // A transfer that receives nothing for this long is abandoned.
    long stall_timeout_s = 15;
    long total_timeout_s = 30;
    // Certificate authorities to trust instead of the system's store; empty: the system's store.
    std::string ca_file;
};

// The largest body a fetch keeps. A larger one is cut off here and what arrived up to it is returned.
inline constexpr std::size_t http_body_limit = 16 * 1024 * 1024;

// Blocking GET of `address`, GBK text without its fragment. Only http and https, also after a
// redirect. Returns the body of any response whatever its status, what arrived before a failure
// part-way, or the empty buffer when nothing arrived (unparsable address, refused connection, TLS
// failure, time-out).
std::string http_get(const Text& address);

// Test-only: the limits of the following fetches. `HttpSettings{}` restores the program's own.
void set_http_settings_for_tests(const HttpSettings& settings);

// Test-only: answer every following `http_get` with `fetcher` instead of the network (no busy
// hooks are called). An empty function restores the real client.
void set_fetcher_for_tests(std::function<std::string(const Text&)> fetcher);

// Called around every real fetch, so that the GUI can show a busy pointer while a fetch blocks it.
// Empty functions remove the hooks.
void set_busy_hooks(std::function<void()> begin, std::function<void()> end);

} // namespace lorvane
