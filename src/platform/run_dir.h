#pragma once

#include "text/text.h"

namespace lorvane {

// The directory that holds the program's executable, without a trailing separator.
Text run_dir();

// Tests point the program at a temporary folder; an empty text returns to the executable's folder.
void set_run_dir_for_tests(const Text& dir);

// Creates one directory level; an existing directory is fine. True when the directory exists after.
bool make_directory(const Text& path);

} // namespace lorvane
