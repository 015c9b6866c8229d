#pragma once

// Points the program's directory at a fresh temporary folder for one test; the data folder is made
// unless the test asks for it to be missing.

#include "platform/run_dir.h"
#include "platform/temp_folder.h"
#include "store/data_file.h"

namespace lorvane::test {

class DataFolderTest : public testing::Test {
protected:
    void SetUp() override {
        set_run_dir_for_tests(run_dir_.path());
        ASSERT_TRUE(make_directory(data_folder_path()));
    }
    void TearDown() override { set_run_dir_for_tests({}); }

    // Writes the data file byte by byte.
    void write_data(const std::string& bytes) { write_bytes(data_file_path(), bytes); }
    std::string data() const { return read_bytes(data_file_path()).value_or("(no file)"); }

    TempFolder run_dir_;
};

} // namespace lorvane::test
