#include "platform/profile.h"
#include "platform/temp_folder.h"
#include "text/hex_print.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace lorvane::profile {
namespace {

using test::hex;
using test::read_bytes;
using test::stat_of;
using test::write_bytes;
using namespace std::string_literals;

constexpr mode_t permission_bits = 07777;

class ProfileFile : public testing::Test {
protected:
    void SetUp() override { saved_umask_ = ::umask(022); }
    void TearDown() override { ::umask(saved_umask_); }

    test::TempFolder folder_;
    const std::string path_ = folder_ / "URL.ini";
    mode_t saved_umask_ = 0;
};

TEST_F(ProfileFile, firstWriteCreatesTheFileWithOrdinaryPermissions) {
    ASSERT_TRUE(write_value(path_, "s", "k", "v"));
    EXPECT_EQ(hex(read_bytes(path_).value_or("(none)")), hex("[s]\r\nk=v\r\n"));
    EXPECT_EQ(stat_of(path_).st_mode & permission_bits, 0644u);
    EXPECT_EQ(read_value(path_, "S", "K"), "v");
}

TEST_F(ProfileFile, changesReplaceTheFileAndKeepItsPermissions) {
    write_bytes(path_, "[s]\r\na=1\r\n");
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    const ino_t before = stat_of(path_).st_ino;
    ASSERT_TRUE(write_value(path_, "s", "b", "2"));
    EXPECT_EQ(hex(*read_bytes(path_)), hex("[s]\r\na=1\r\nb=2\r\n"));
    EXPECT_EQ(stat_of(path_).st_mode & permission_bits, 0640u);
    EXPECT_NE(stat_of(path_).st_ino, before) << "written in place instead of renamed over";
    ASSERT_TRUE(delete_key(path_, "s", "a"));
    ASSERT_TRUE(delete_section(path_, "s"));
    EXPECT_EQ(hex(*read_bytes(path_)), hex(""));
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{".URL.ini.lock", "URL.ini"})) << "a temporary file is left";
}

TEST_F(ProfileFile, readOnlyFileRefusesEveryChangeEvenForRoot) {
    const std::string bytes = "[s]\r\na=1\r\n";
    write_bytes(path_, bytes);
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    EXPECT_FALSE(write_value(path_, "s", "b", "2"));
    EXPECT_FALSE(write_value(path_, "s", "a", "9"));
    EXPECT_FALSE(delete_key(path_, "s", "a"));
    EXPECT_FALSE(delete_section(path_, "s"));
    EXPECT_EQ(hex(*read_bytes(path_)), hex(bytes));
    EXPECT_EQ(read_value(path_, "s", "a"), "1");
    // Nothing to change needs no writing, so it holds.
    EXPECT_TRUE(delete_key(path_, "s", "absent"));
    EXPECT_TRUE(delete_section(path_, "absent"));
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{".URL.ini.lock", "URL.ini"}));
}

TEST_F(ProfileFile, missingFolderFailsAndCreatesNothing) {
    const std::string path = folder_ / "Data/URL.ini";
    EXPECT_FALSE(write_value(path, "s", "k", "v"));
    EXPECT_TRUE(delete_key(path, "s", "k")); // no file, so no such key: nothing to do
    EXPECT_EQ(read_value(path, "s", "k"), "");
    EXPECT_EQ(read_file(path), std::nullopt);
    EXPECT_TRUE(folder_.names().empty());
}

TEST_F(ProfileFile, folderInTheFilesPlaceFails) {
    ASSERT_EQ(::mkdir(path_.c_str(), 0755), 0);
    EXPECT_EQ(read_file(path_), std::nullopt);
    EXPECT_FALSE(write_value(path_, "s", "k", "v"));
    EXPECT_FALSE(delete_key(path_, "s", "k"));
    EXPECT_EQ(read_value(path_, "s", "k"), "");
}

TEST_F(ProfileFile, refusedKeyFailsWithoutTouchingTheFile) {
    write_bytes(path_, "[s]\r\na=1\r\n");
    const ino_t before = stat_of(path_).st_ino;
    EXPECT_FALSE(write_value(path_, "s", "a=b", "v"));
    EXPECT_FALSE(write_value(path_, "s", "[x", "v"));
    EXPECT_FALSE(write_value(path_, "a]", "k", "v"));
    EXPECT_FALSE(delete_key(path_, "s", ""));
    EXPECT_EQ(stat_of(path_).st_ino, before);
    EXPECT_EQ(hex(*read_bytes(path_)), hex("[s]\r\na=1\r\n"));
}

TEST_F(ProfileFile, failedWriteLeavesTheOldFileAndNoTemporaryFile) {
    const std::string bytes = "[s]\r\na=1\r\n";
    write_bytes(path_, bytes);
    // A file size limit makes write() fail part-way, as a full disk does.
    constexpr rlim_t limit = 64;
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto saved_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved;
    lowered.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lowered), 0);
    const bool written = write_value(path_, "s", "b", std::string(2 * limit, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, saved_handler);

    EXPECT_FALSE(written);
    EXPECT_EQ(hex(*read_bytes(path_)), hex(bytes));
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{".URL.ini.lock", "URL.ini"}));
}

TEST_F(ProfileFile, nextWriteRemovesTheTemporaryFileOfAKilledOne) {
    write_bytes(path_, "[s]\r\na=1\r\n");
    // What a copy killed before its rename leaves behind, and names that only look like it.
    for (const char* name : {".URL.ini.a1B2c3", ".URL.ini.Zz09yY", ".URL.ini.ab-cd!", ".URL.ini.abcdefg",
                             "URL.ini.a1B2c3", ".other.ini.a1B2c3"}) {
        write_bytes(folder_ / name, "[s]\r\nstale=1\r\n");
    }
    ASSERT_TRUE(write_value(path_, "s", "b", "2"));
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{".URL.ini.ab-cd!", ".URL.ini.abcdefg", ".URL.ini.lock",
                                                         ".other.ini.a1B2c3", "URL.ini", "URL.ini.a1B2c3"}));
    EXPECT_EQ(hex(*read_bytes(path_)), hex("[s]\r\na=1\r\nb=2\r\n"));
}

TEST_F(ProfileFile, updateThatChangesNothingWritesNothing) {
    write_bytes(path_, "[s]\r\n");
    const ino_t before = stat_of(path_).st_ino;
    EXPECT_TRUE(update(path_, [](Document&) { return false; }));
    EXPECT_TRUE(delete_key(path_, "s", "absent"));
    EXPECT_EQ(stat_of(path_).st_ino, before);
}

TEST_F(ProfileFile, readFileGivesEveryByte) {
    const std::string bytes = "[s]\r\nk=\0\x1A\xFF\r\n"s;
    write_bytes(path_, bytes);
    EXPECT_EQ(hex(read_file(path_).value_or("(none)")), hex(bytes));
    EXPECT_EQ(read_file(folder_ / "absent"), std::nullopt);
}

// A long history is read into one buffer of the file's own size; a buffer grown past that size
// would keep about twice the file in memory for as long as its document lives. Files under /proc
// report a size of 0, so all their bytes arrive after it.
TEST_F(ProfileFile, readFileHoldsTheFileAtItsOwnSize) {
    for (const std::size_t size : {std::size_t{64 * 1024}, std::size_t{1024 * 1024} + 3}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i % 251);
        }
        write_bytes(path_, bytes);
        const std::optional<std::string> read = read_file(path_);
        ASSERT_TRUE(read.has_value());
        EXPECT_TRUE(*read == bytes);
        EXPECT_LT(read->capacity(), size + size / 2);
    }
    const std::optional<std::string> status = read_file("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(status->starts_with("Name:")) << status->substr(0, 40);
    EXPECT_NE(status->find("\nVmHWM:"), std::string::npos);
}

} // namespace
} // namespace lorvane::profile
