// Hostile web peers against local servers: a body of a gigabyte, a server that sends one byte every
// ten seconds, a redirect loop. Each fetch ends within the program's time-outs with the empty buffer
// or what it may keep. (The certificate, file:// and gopher:// cases, direct and by redirect, are in
// tests/web/fetch_test.cpp.)

#include "../web/local_servers.h"

#include "platform/http.h"
#include "web/web.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ostream>

namespace lorvane {
namespace {

using lorvane::testing::local_servers;
using Clock = std::chrono::steady_clock;

constexpr std::size_t gigabyte = std::size_t{1} << 30;
constexpr int pattern_modulus = 251;
constexpr int max_redirects = 10;

std::string expected_pattern(std::size_t count) {
    std::string out(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<char>(i % pattern_modulus);
    }
    return out;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class HostilePeer : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
            unsetenv(name);
        }
        use(HttpSettings{});
    }
    void TearDown() override { set_http_settings_for_tests(HttpSettings{}); }

    static void use(HttpSettings settings) {
        settings.ca_file = local_servers().ca_file;
        set_http_settings_for_tests(settings);
    }
};

struct HugeBodyCase {
    const char* name;
    bool announced;
    bool secure;
};

void PrintTo(const HugeBodyCase& c, std::ostream* os) {
    *os << c.name;
}

class HugeBody : public HostilePeer, public ::testing::WithParamInterface<HugeBodyCase> {};

// The server makes the gigabyte one mebibyte at a time; the fetch stops taking it at the cap, long
// before the whole-fetch time-out.
TEST_P(HugeBody, isCutAtTheLimitWellWithinTheTimeOut) {
    const auto& c = GetParam();
    const std::string path = "/bytes?n=" + std::to_string(gigabyte) + (c.announced ? "" : "&length=0");
    const auto start = Clock::now();
    const Bytes body = fetch_page(c.secure ? local_servers().https(path) : local_servers().http(path));
    const double elapsed = seconds_since(start);
    ASSERT_EQ(body.size(), http_body_limit);
    EXPECT_TRUE(body == expected_pattern(http_body_limit));
    EXPECT_LT(elapsed, static_cast<double>(HttpSettings{}.total_timeout_s));
}

INSTANTIATE_TEST_SUITE_P(Bodies, HugeBody,
                         ::testing::Values(HugeBodyCase{"announced", true, false},
                                           HugeBodyCase{"unannounced", false, false},
                                           HugeBodyCase{"announced_over_https", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// One byte every `period` seconds never stalls the transfer for the stall time, so only the
// whole-fetch time-out ends it; what arrived until then is kept.
struct DripCase {
    const char* name;
    int period_s;
    HttpSettings settings;
};

void PrintTo(const DripCase& c, std::ostream* os) {
    *os << c.name;
}

class DrippingServer : public HostilePeer, public ::testing::WithParamInterface<DripCase> {};

TEST_P(DrippingServer, isAbandonedAtTheWholeFetchTime) {
    const DripCase& c = GetParam();
    ASSERT_LT(c.period_s, c.settings.stall_timeout_s);
    use(c.settings);
    const auto start = Clock::now();
    const Bytes body = fetch_page(local_servers().http("/drip?period=" + std::to_string(c.period_s)));
    const double elapsed = seconds_since(start);
    const auto total = static_cast<double>(c.settings.total_timeout_s);
    EXPECT_GE(elapsed, total - 0.1);
    EXPECT_LT(elapsed, total + 0.2 * total);
    // A byte at the start and one each period up to the time-out (the last one may just miss it).
    const auto periods = static_cast<std::size_t>(c.settings.total_timeout_s / c.period_s);
    EXPECT_GE(body.size(), periods - 1);
    EXPECT_LE(body.size(), periods + 1);
    EXPECT_TRUE(body == expected_pattern(body.size()));
}

HttpSettings scaled_down() {
    HttpSettings settings;
    settings.connect_timeout_s = 2;
    settings.stall_timeout_s = 3;
    settings.total_timeout_s = 6;
    return settings;
}

INSTANTIATE_TEST_SUITE_P(Settings, DrippingServer,
                         ::testing::Values(DripCase{"scaled_down_by_five", 2, scaled_down()},
                                           DripCase{"the_programs_own", 10, HttpSettings{}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostilePeer, RedirectLoop_givesTheEmptyBufferAfterTenRedirects) {
    const auto connections = [] { return std::stoi(fetch_page(local_servers().http("/connections"))); };
    const int before = connections();
    const auto start = Clock::now();
    EXPECT_EQ(fetch_page(local_servers().http("/loop")), "");
    EXPECT_LT(seconds_since(start), 5.0);
    // The first request and ten redirects, then it gave up; the last number is this question's own.
    EXPECT_EQ(connections() - before - 1, 1 + max_redirects);
}

} // namespace
} // namespace lorvane
