#include "platform/http.h"

#include "text/gbk.h"

#include <curl/curl.h>

#include <array>
#include <chrono>
#include <memory>
#include <mutex>
#include <utility>

namespace lorvane {
namespace {

constexpr const char* user_agent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* accept_header = "Accept: */*";
constexpr const char* allowed_protocols = "http,https";
constexpr long max_redirects = 10;

using Clock = std::chrono::steady_clock;

// The seams and limits, shared by whoever fetches.
struct HttpState {
    std::mutex mutex;
    HttpSettings settings;
    std::function<std::string(const Text&)> fetcher;
    std::function<void()> busy_begin;
    std::function<void()> busy_end;
};

HttpState& state() {
    static HttpState s;
    return s;
}

// libcurl is initialised once, on the first fetch, and kept for the life of the process: it is
// never cleaned up, so no fetch can meet a torn-down client while the program exits. The share
// handle keeps cookies, resolved names and TLS sessions from one fetch to the next.
class CurlClient {
public:
    CurlClient() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        share_ = curl_share_init();
        if (share_ == nullptr) {
            return;
        }
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlClient::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlClient::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }
    CurlClient(const CurlClient&) = delete;
    CurlClient& operator=(const CurlClient&) = delete;

    CURLSH* share() const { return share_; }

    static CurlClient& instance() {
        static CurlClient* client = new CurlClient;
        return *client;
    }

private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CurlClient*>(self)->locks_.at(static_cast<std::size_t>(data)).lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CurlClient*>(self)->locks_.at(static_cast<std::size_t>(data)).unlock();
    }

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// One fetch under way: the body so far and when anything last arrived. libcurl's own low-speed
// check averages over a window of several seconds, so a server that goes silent after a burst
// would be given that much longer; the stall time is measured here from the last byte instead.
struct Transfer {
    std::string body;
    Clock::time_point last_arrival = Clock::now();
    Clock::duration stall_limit;
};

// Keeps the body up to the limit. Returning less than was offered makes libcurl abandon the
// transfer, which keeps what was stored.
std::size_t store_body(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    transfer.last_arrival = Clock::now();
    const std::size_t offered = size * count;
    const std::size_t room = http_body_limit - transfer.body.size();
    const std::size_t taken = offered < room ? offered : room;
    transfer.body.append(data, taken);
    return taken;
}

// Header lines count as arrivals too; they are not kept.
std::size_t note_header(char*, std::size_t size, std::size_t count, void* user) {
    static_cast<Transfer*>(user)->last_arrival = Clock::now();
    return size * count;
}

// Called by libcurl at least about once a second, also while nothing arrives; non-zero abandons.
int check_stall(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto& transfer = *static_cast<Transfer*>(user);
    return Clock::now() - transfer.last_arrival > transfer.stall_limit ? 1 : 0;
}

// Shows the busy pointer for as long as a real fetch runs, whichever way it ends.
class BusyScope {
public:
    BusyScope() {
        {
            std::lock_guard lock(state().mutex);
            end_ = state().busy_end;
            begin_ = state().busy_begin;
        }
        if (begin_) {
            begin_();
        }
    }
    ~BusyScope() {
        if (end_) {
            end_();
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    std::function<void()> begin_;
    std::function<void()> end_;
};

std::string curl_get(const std::string& utf8_address, const HttpSettings& settings) {
    // Spaces and bytes above 0x7F are percent-encoded as a browser would send them; an address
    // libcurl still cannot parse, one without a scheme among them, fetches nothing.
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, utf8_address.c_str(), CURLU_URLENCODE) != CURLUE_OK) {
        return {};
    }
    CurlClient& client = CurlClient::instance();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, HeaderListDeleter> headers(curl_slist_append(nullptr, accept_header));
    if (!easy || !headers) {
        return {};
    }
    Transfer transfer;
    transfer.stall_limit = std::chrono::seconds(settings.stall_timeout_s);
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_CURLU, url.get());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, allowed_protocols);
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, allowed_protocols);
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(e, CURLOPT_USERAGENT, user_agent);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, max_redirects);
    // Cookies live in memory for the life of the process, shared by all fetches.
    curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
    if (client.share() != nullptr) {
        curl_easy_setopt(e, CURLOPT_SHARE, client.share());
    }
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings.ca_file.empty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO, settings.ca_file.c_str());
    }
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, settings.connect_timeout_s);
    curl_easy_setopt(e, CURLOPT_TIMEOUT, settings.total_timeout_s);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &check_stall);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &note_header);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);
    // The GUI process has other threads; libcurl must not use signals for its time-outs.
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &store_body);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    // The outcome is not examined: a failure before the body leaves it empty, one part-way leaves
    // what arrived.
    transfer.last_arrival = Clock::now();
    curl_easy_perform(e);
    return std::move(transfer.body);
}

} // namespace

std::string http_get(const Text& address) {
    std::function<std::string(const Text&)> fetcher;
    HttpSettings settings;
    {
        std::lock_guard lock(state().mutex);
        fetcher = state().fetcher;
        settings = state().settings;
    }
    if (fetcher) {
        return fetcher(address);
    }
    BusyScope busy;
    return curl_get(gbk_to_utf8(address), settings);
}

void set_http_settings_for_tests(const HttpSettings& settings) {
    std::lock_guard lock(state().mutex);
    state().settings = settings;
}

void set_fetcher_for_tests(std::function<std::string(const Text&)> fetcher) {
    std::lock_guard lock(state().mutex);
    state().fetcher = std::move(fetcher);
}

void set_busy_hooks(std::function<void()> begin, std::function<void()> end) {
    std::lock_guard lock(state().mutex);
    state().busy_begin = std::move(begin);
    state().busy_end = std::move(end);
}

} // namespace lorvane
