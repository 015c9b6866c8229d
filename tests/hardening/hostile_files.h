#pragma once

// Data files the program may meet after a crash of another tool, a hand edit, a full disk or a
// stray copy: each with what the program can still read from it, and whether it can be written.

#include "text/text.h"

#include <QStringList>

#include <vector>

namespace lorvane::test {

struct HostileFile {
    enum class Kind {
        bytes,      // Data/URL.ini holds `bytes`
        directory,  // a directory stands where the file should be
        unreadable, // holds `bytes`, mode 000, and the test may not read it
    };

    const char* name;
    Kind kind = Kind::bytes;
    Text bytes;
    // The link names the selector and the link manager show, in order (UTF-8).
    QStringList links;
    // The rows of the history window.
    int history_rows = 0;
    bool writable = true;
};

// Built once: the large ones take a moment.
const std::vector<HostileFile>& hostile_files();

} // namespace lorvane::test
