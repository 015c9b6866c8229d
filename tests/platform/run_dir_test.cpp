#include "platform/clock.h"
#include "platform/run_dir.h"
#include "platform/temp_folder.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

TEST(RunDir, isTheExecutablesFolderWithoutATrailingSeparator) {
    const std::string expected = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    EXPECT_EQ(run_dir(), expected);
    EXPECT_FALSE(run_dir().ends_with("/"));
}

TEST(RunDir, testsCanPointItElsewhereAndBack) {
    const Text real = run_dir();
    set_run_dir_for_tests("/tmp/lorvane-elsewhere//");
    EXPECT_EQ(run_dir(), "/tmp/lorvane-elsewhere");
    set_run_dir_for_tests({});
    EXPECT_EQ(run_dir(), real);
}

TEST(MakeDirectory, createsOneLevelAndAcceptsAnExistingFolder) {
    test::TempFolder folder;
    EXPECT_TRUE(make_directory(folder / "Data"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Data"));
    EXPECT_TRUE(make_directory(folder / "Data"));
    EXPECT_FALSE(make_directory(folder / "missing/Data"));
    test::write_bytes(folder / "file", "x");
    EXPECT_FALSE(make_directory(folder / "file"));
}

TEST(Clock, testsCanFixTheTimeAndRestoreTheRealClock) {
    constexpr std::time_t fixed = 1592384703;
    set_clock_for_tests([] { return fixed; });
    EXPECT_EQ(current_time(), fixed);
    set_clock_for_tests({});
    const std::time_t now = std::time(nullptr);
    EXPECT_LE(std::abs(current_time() - now), 5);
}

} // namespace
} // namespace lorvane
