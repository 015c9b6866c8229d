// fetch_page against local HTTP and HTTPS servers: the request form, redirects, cookies, the
// certificate checks, the protocols allowed, the body limit and the time-outs.

#include "local_servers.h"

#include "platform/http.h"
#include "text/gbk.h"
#include "web/web.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace lorvane {
namespace {

using lorvane::testing::closed_port;
using lorvane::testing::local_servers;
using Clock = std::chrono::steady_clock;

constexpr const char* expected_user_agent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr int pattern_modulus = 251;

std::string expected_pattern(std::size_t count) {
    std::string out(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<char>(i % pattern_modulus);
    }
    return out;
}

std::string first_line(const std::string& s) {
    return s.substr(0, s.find("\r\n"));
}

// How many connections the plain HTTP listener has accepted so far, not counting this question.
int http_connections() {
    return std::stoi(fetch_page(local_servers().http("/connections"))) - 1;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class FetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A proxy from the environment would carry these requests elsewhere.
        for (const char* name :
             {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
            unsetenv(name);
        }
        HttpSettings settings;
        settings.ca_file = local_servers().ca_file;
        set_http_settings_for_tests(settings);
    }
    void TearDown() override {
        set_http_settings_for_tests(HttpSettings{});
        set_busy_hooks({}, {});
        set_fetcher_for_tests({});
    }
};

TEST_F(FetchTest, RequestHead_isExactlyTheProgramsOwn_overHttpAndHttps) {
    for (const bool secure : {false, true}) {
        const auto& s = local_servers();
        const std::string address = secure ? s.https("/echo?x=1") : s.http("/echo?x=1");
        const int port = secure ? s.https_port : s.http_port;
        EXPECT_EQ(fetch_page(address), "GET /echo?x=1 HTTP/1.0\r\n"
                                       "Host: 127.0.0.1:" +
                                           std::to_string(port) +
                                           "\r\n"
                                           "User-Agent: " +
                                           expected_user_agent +
                                           "\r\n"
                                           "Accept: */*\r\n"
                                           "\r\n")
            << (secure ? "https" : "http");
    }
}

struct RequestTargetCase {
    const char* name;
    std::string path; // GBK, as pasted
    std::string sent; // the request line the server receives
};

// Failures name the row, not its bytes.
void PrintTo(const RequestTargetCase& c, std::ostream* os) {
    *os << c.name;
}

class RequestTarget : public FetchTest, public ::testing::WithParamInterface<RequestTargetCase> {};

TEST_P(RequestTarget, ServerReceivesRequestLine) {
    EXPECT_EQ(first_line(fetch_page(local_servers().http(GetParam().path))), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, RequestTarget,
    ::testing::Values(RequestTargetCase{"fragment", "/echo?a=1#part?b=2", "GET /echo?a=1 HTTP/1.0"},
                      RequestTargetCase{"second_hash", "/echo#a#b", "GET /echo HTTP/1.0"},
                      RequestTargetCase{"spaces", "/echo/a b?q=c d", "GET /echo/a%20b?q=c+d HTTP/1.0"},
                      RequestTargetCase{"escapes_kept", "/echo/a%20b", "GET /echo/a%20b HTTP/1.0"},
                      RequestTargetCase{"gbk_to_utf8", gbk("/echo/中?q=文"),
                                        "GET /echo/%e4%b8%ad?q=%e6%96%87 HTTP/1.0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchTest, ErrorStatus_bodyIsReturned) {
    const Bytes body = fetch_page(local_servers().http("/not-found"));
    EXPECT_EQ(body, "<html><head><title>404 Not Found</title></head><body>missing</body></html>");
    EXPECT_EQ(fetch_page_title(local_servers().http("/not-found")), "404 Not Found");
}

TEST_F(FetchTest, Redirect_isFollowedWithItsCookie_andTheCookieIsKeptForLaterFetches) {
    const Bytes after_redirect = fetch_page(local_servers().http("/redirect?to=/cookie/echo&cookie=visit%3D42"));
    EXPECT_EQ(first_line(after_redirect), "GET /cookie/echo HTTP/1.0");
    EXPECT_NE(after_redirect.find("\r\nCookie: visit=42\r\n"), std::string::npos) << after_redirect;
    EXPECT_EQ(after_redirect.find("Referer"), std::string::npos) << after_redirect;

    const Bytes later = fetch_page(local_servers().http("/cookie/echo/later"));
    EXPECT_NE(later.find("\r\nCookie: visit=42\r\n"), std::string::npos) << later;
}

TEST_F(FetchTest, Redirect_fromHttpToHttps_isFollowed) {
    const std::string target = local_servers().https("/echo/secure");
    EXPECT_EQ(first_line(fetch_page(local_servers().http("/redirect?to=" + target))), "GET /echo/secure HTTP/1.0");
}

TEST_F(FetchTest, Redirects_tenAreFollowed_anEleventhFails) {
    EXPECT_EQ(fetch_page(local_servers().http("/chain?n=10")), "end of chain");
    EXPECT_EQ(fetch_page(local_servers().http("/chain?n=11")), "");
}

TEST_F(FetchTest, Certificate_notInTheSystemStore_isRefused) {
    set_http_settings_for_tests(HttpSettings{});
    EXPECT_EQ(fetch_page(local_servers().https("/echo")), "");
}

TEST_F(FetchTest, Certificate_forAnotherHostName_isRefused) {
    const std::string address = "https://127.0.0.1:" + std::to_string(local_servers().https_wrong_name_port) + "/echo";
    EXPECT_EQ(fetch_page(address), "");
}

TEST_F(FetchTest, ClosedPort_givesEmptyBuffer_andTheBusyPointerComesAndGoes) {
    int begins = 0;
    int ends = 0;
    set_busy_hooks([&] { ++begins; }, [&] { ++ends; });
    EXPECT_EQ(fetch_page("http://127.0.0.1:" + std::to_string(closed_port()) + "/"), "");
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
}

TEST_F(FetchTest, UnansweredConnection_isAbandonedAfterTheConnectTime) {
    HttpSettings settings;
    settings.ca_file = local_servers().ca_file;
    settings.connect_timeout_s = 1;
    set_http_settings_for_tests(settings);
    const lorvane::testing::UnansweredPort unanswered;
    const auto start = Clock::now();
    EXPECT_EQ(fetch_page("http://127.0.0.1:" + std::to_string(unanswered.port()) + "/"), "");
    const double elapsed = seconds_since(start);
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 4.0);
}

TEST_F(FetchTest, BusyHooks_encloseTheTransfer) {
    int depth = 0;
    int depth_at_begin = -1;
    int ends = 0;
    set_busy_hooks(
        [&] {
            depth_at_begin = depth;
            ++depth;
        },
        [&] {
            --depth;
            ++ends;
        });
    EXPECT_EQ(fetch_page(local_servers().http("/bytes?n=10")), expected_pattern(10));
    EXPECT_EQ(depth_at_begin, 0);
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(ends, 1);
}

// Only http and https are fetched, also as the target of a redirect; nothing else even connects.
struct ForbiddenCase {
    const char* name;
    std::string address; // "{http}" and "{file}" are filled in
    int connections;     // to the HTTP listener
};

void PrintTo(const ForbiddenCase& c, std::ostream* os) {
    *os << c.name;
}

class ForbiddenProtocol : public FetchTest, public ::testing::WithParamInterface<ForbiddenCase> {};

TEST_P(ForbiddenProtocol, GivesEmptyBuffer) {
    const std::string file = ::testing::TempDir() + "lorvane_fetch_secret.txt";
    std::ofstream(file) << "secret";
    std::string address = GetParam().address;
    const std::string http = "127.0.0.1:" + std::to_string(local_servers().http_port);
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{http}", http}, {"{file}", file}}) {
        if (const auto at = address.find(key); at != std::string::npos) {
            address.replace(at, key.size(), value);
        }
    }
    const int before = http_connections();
    EXPECT_EQ(fetch_page(address), "") << address;
    EXPECT_EQ(http_connections() - before - 1, GetParam().connections) << address;
    std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ForbiddenProtocol,
    ::testing::Values(ForbiddenCase{"file", "file://{file}", 0}, ForbiddenCase{"ftp", "ftp://{http}/", 0},
                      ForbiddenCase{"gopher", "gopher://{http}/", 0}, ForbiddenCase{"dict", "dict://{http}/x", 0},
                      ForbiddenCase{"telnet", "telnet://{http}/", 0}, ForbiddenCase{"no_scheme", "{http}/echo", 0},
                      ForbiddenCase{"redirect_to_file", "http://{http}/redirect?to=file://{file}", 1},
                      ForbiddenCase{"redirect_to_ftp", "http://{http}/redirect?to=ftp://{http}/", 1},
                      ForbiddenCase{"redirect_to_gopher", "http://{http}/redirect?to=gopher://{http}/", 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct BodySizeCase {
    const char* name;
    std::size_t served;
    bool announced;
};

void PrintTo(const BodySizeCase& c, std::ostream* os) {
    *os << c.name;
}

class BodySize : public FetchTest, public ::testing::WithParamInterface<BodySizeCase> {};

TEST_P(BodySize, KeepsAtMostTheLimit) {
    const auto& c = GetParam();
    const Bytes body =
        fetch_page(local_servers().http("/bytes?n=" + std::to_string(c.served) + (c.announced ? "" : "&length=0")));
    const std::size_t expected = std::min(c.served, http_body_limit);
    ASSERT_EQ(body.size(), expected);
    EXPECT_TRUE(body == expected_pattern(expected));
}

INSTANTIATE_TEST_SUITE_P(Sizes, BodySize,
                         ::testing::Values(BodySizeCase{"small", 100000, true},
                                           BodySizeCase{"limit_exactly", http_body_limit, true},
                                           BodySizeCase{"one_over_unannounced", http_body_limit + 1, false},
                                           BodySizeCase{"twenty_million_announced", 20000000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StallCase {
    const char* name;
    std::string path;
    Bytes kept;
};

void PrintTo(const StallCase& c, std::ostream* os) {
    *os << c.name;
}

class StalledServer : public FetchTest, public ::testing::WithParamInterface<StallCase> {};

TEST_P(StalledServer, IsAbandonedAfterTheStallTime_keepingWhatArrived) {
    HttpSettings settings;
    settings.ca_file = local_servers().ca_file;
    settings.stall_timeout_s = 1;
    set_http_settings_for_tests(settings);
    const auto start = Clock::now();
    EXPECT_EQ(fetch_page(local_servers().http(GetParam().path)), GetParam().kept);
    const double elapsed = seconds_since(start);
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 4.0);
}

INSTANTIATE_TEST_SUITE_P(Servers, StalledServer,
                         ::testing::Values(StallCase{"silent_after_part_of_the_body", "/stall", "partial"},
                                           StallCase{"never_answering", "/silent", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchTest, SlowServer_isAbandonedAfterTheWholeFetchTime_keepingWhatArrived) {
    HttpSettings settings;
    settings.total_timeout_s = 2;
    set_http_settings_for_tests(settings);
    const auto start = Clock::now();
    const Bytes body = fetch_page(local_servers().http("/trickle"));
    const double elapsed = seconds_since(start);
    EXPECT_GE(elapsed, 1.9);
    EXPECT_LT(elapsed, 8.0);
    EXPECT_GE(body.size(), 3u);
    EXPECT_TRUE(body == expected_pattern(body.size()));
}

TEST_F(FetchTest, ProxyFromTheEnvironment_carriesTheRequest) {
    setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(local_servers().http_port)).c_str(), 1);
    const Bytes body = fetch_page("http://unreachable.invalid/echo");
    unsetenv("http_proxy");
    EXPECT_EQ(first_line(body), "GET http://unreachable.invalid/echo HTTP/1.0");
    EXPECT_NE(body.find("\r\nHost: unreachable.invalid\r\n"), std::string::npos) << body;
}

TEST_F(FetchTest, EmptyAddress_neverReachesTheClient) {
    std::vector<Text> asked;
    set_fetcher_for_tests([&](const Text& address) {
        asked.push_back(address);
        return Bytes("answer");
    });
    int begins = 0;
    set_busy_hooks([&] { ++begins; }, [] {});
    EXPECT_EQ(fetch_page(""), "");
    EXPECT_EQ(fetch_page("#only-a-fragment"), "");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(fetch_page("http://example.invalid/page#top"), "answer");
    EXPECT_EQ(asked, std::vector<Text>{"http://example.invalid/page"});
    EXPECT_EQ(begins, 0) << "a fetch answered by the test seam shows no busy pointer";
}

TEST_F(FetchTest, Title_ofAPageServedInGbk) {
    // <meta charset="gbk"><title>新闻</title>, the title in GBK bytes.
    const std::string page = "%3Cmeta%20charset%3D%22gbk%22%3E%3Ctitle%3E%D0%C2%CE%C5%3C%2Ftitle%3E";
    EXPECT_EQ(fetch_page_title(local_servers().http("/page?body=" + page)), "\xD0\xC2\xCE\xC5");
}

} // namespace
} // namespace lorvane
