// open_in_browser through the real xdg-open, which in a session without a desktop hands the address
// to $BROWSER: here a recorder script that writes down the arguments it was given.

#include "platform/shell.h"
#include "text/gbk.h"
#include "web/web.h"

#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace lorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto record_timeout = 15s;
constexpr auto poll_period = 20ms;
// Long enough for a wrongly started second opener to have shown up.
constexpr auto settle_time = 300ms;

// Writes a script that records its arguments, each ended by a zero byte, into a new file of `dir`.
void write_recorder(const fs::path& script, const fs::path& dir) {
    std::ofstream(script) << "#!/bin/sh\n"
                          << "printf '%s\\0' \"$@\" > '" << dir.string() << "/tmp.'$$\n"
                          << "mv '" << dir.string() << "/tmp.'$$ '" << dir.string() << "/call.'$$\n";
    fs::permissions(script, fs::perms::owner_all);
}

std::vector<fs::path> calls_in(const fs::path& dir) {
    std::vector<fs::path> calls;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename().string().starts_with("call.")) {
            calls.push_back(entry.path());
        }
    }
    return calls;
}

// The arguments of the first recorded call, once one is there.
std::optional<std::vector<std::string>> wait_for_call(const fs::path& dir) {
    const auto deadline = std::chrono::steady_clock::now() + record_timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto calls = calls_in(dir);
        if (!calls.empty()) {
            std::ifstream in(calls.front(), std::ios::binary);
            std::stringstream content;
            content << in.rdbuf();
            std::vector<std::string> args;
            std::string arg;
            while (std::getline(content, arg, '\0')) {
                args.push_back(arg);
            }
            return args;
        }
        std::this_thread::sleep_for(poll_period);
    }
    return std::nullopt;
}

// No child of this process is left, finished or not: nothing to reap, so no zombie.
bool has_no_children() {
    int status = 0;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir_template[] = "/tmp/lorvane-browser-XXXXXX";
        ASSERT_NE(mkdtemp(dir_template), nullptr);
        dir_ = dir_template;
        records_ = dir_ / "records";
        fs::create_directory(records_);
        write_recorder(dir_ / "browser-recorder", records_);
        // No desktop: xdg-open falls back to $BROWSER.
        for (const char* name : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                                 "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "DESKTOP_SESSION", "DESKTOP",
                                 "DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"}) {
            unsetenv(name);
        }
        setenv("BROWSER", (dir_ / "browser-recorder").c_str(), 1);
        saved_path_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    }
    void TearDown() override {
        setenv("PATH", saved_path_.c_str(), 1);
        set_browser_opener_for_tests({});
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path dir_;
    fs::path records_;
    std::string saved_path_;
};

struct AddressCase {
    const char* name;
    std::string address;  // GBK; "{dir}" stands for the test's directory
    std::string argument; // UTF-8, as the browser must receive it
};

// Failures name the row, not its bytes.
void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << c.name;
}

class BrowserAddress : public BrowserTest, public ::testing::WithParamInterface<AddressCase> {};

std::string with_dir(std::string s, const fs::path& dir) {
    for (auto at = s.find("{dir}"); at != std::string::npos; at = s.find("{dir}")) {
        s.replace(at, 5, dir.string());
    }
    return s;
}

TEST_P(BrowserAddress, ReachesTheBrowserAsItsOnlyArgument_andNothingElseRuns) {
    const std::string address = with_dir(GetParam().address, dir_);
    open_in_browser(address);
    EXPECT_TRUE(has_no_children()) << "the opener must not stay this program's child";
    const auto args = wait_for_call(records_);
    ASSERT_TRUE(args.has_value()) << "the browser was not started";
    EXPECT_EQ(*args, std::vector<std::string>{with_dir(GetParam().argument, dir_)});
    for (const char* marker : {"marker1", "marker2", "marker3", "marker4", "marker5"}) {
        EXPECT_FALSE(fs::exists(dir_ / marker)) << marker << ": part of the address was run as a command";
    }
    EXPECT_TRUE(has_no_children());
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, BrowserAddress,
    ::testing::Values(
        AddressCase{"plain", "http://127.0.0.1/page?a=1", "http://127.0.0.1/page?a=1"},
        AddressCase{"gbk_to_utf8", gbk("http://127.0.0.1/搜索?q=中文"), "http://127.0.0.1/搜索?q=中文"},
        AddressCase{"spaces", "http://127.0.0.1/a b  c ", "http://127.0.0.1/a b  c "},
        AddressCase{"quotes", "http://127.0.0.1/?q=\"x\"&r='y'", "http://127.0.0.1/?q=\"x\"&r='y'"},
        AddressCase{"command_substitution", "http://127.0.0.1/$(touch {dir}/marker1)",
                    "http://127.0.0.1/$(touch {dir}/marker1)"},
        AddressCase{"backticks", "http://127.0.0.1/`touch {dir}/marker2`", "http://127.0.0.1/`touch {dir}/marker2`"},
        AddressCase{"semicolon", "http://127.0.0.1/;touch {dir}/marker3", "http://127.0.0.1/;touch {dir}/marker3"},
        AddressCase{"ampersand_and_pipe", "http://127.0.0.1/?a=1&touch {dir}/marker4&b=2|touch {dir}/marker5",
                    "http://127.0.0.1/?a=1&touch {dir}/marker4&b=2|touch {dir}/marker5"},
        AddressCase{"line_break", "http://127.0.0.1/a\nb\r\nc", "http://127.0.0.1/a\nb\r\nc"},
        AddressCase{"glob_and_backslash", "http://127.0.0.1/* ? [a] \\n", "http://127.0.0.1/* ? [a] \\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// With a recorder named xdg-open first on PATH, the program's own spawning shows directly: the
// opener gets exactly one argument, and an empty address starts nothing.
TEST_F(BrowserTest, Opener_getsExactlyOneArgument_andAnEmptyAddressStartsNothing) {
    const fs::path bin = dir_ / "bin";
    fs::create_directory(bin);
    write_recorder(bin / "xdg-open", records_);
    setenv("PATH", (bin.string() + ":" + saved_path_).c_str(), 1);

    open_in_browser("");
    open_in_browser("http://127.0.0.1/only one");
    const auto args = wait_for_call(records_);
    ASSERT_TRUE(args.has_value());
    EXPECT_EQ(*args, std::vector<std::string>{"http://127.0.0.1/only one"});
    std::this_thread::sleep_for(settle_time);
    EXPECT_EQ(calls_in(records_).size(), 1u);
    EXPECT_TRUE(has_no_children());
}

TEST_F(BrowserTest, MissingOpener_isSilent) {
    setenv("PATH", (dir_ / "empty").c_str(), 1);
    open_in_browser("http://127.0.0.1/");
    EXPECT_TRUE(has_no_children());
}

TEST_F(BrowserTest, TestSeam_takesTheGbkAddress_insteadOfTheDesktop) {
    std::vector<Text> opened;
    set_browser_opener_for_tests([&](const Text& address) { opened.push_back(address); });
    open_in_browser(gbk("http://127.0.0.1/中"));
    open_in_browser("");
    EXPECT_EQ(opened, (std::vector<Text>{gbk("http://127.0.0.1/中"), ""}));
    std::this_thread::sleep_for(settle_time);
    EXPECT_TRUE(calls_in(records_).empty());
}

} // namespace
} // namespace lorvane
