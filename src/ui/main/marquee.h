#pragma once

// The announcement strip 透明标签1: the text the program's own server publishes, fetched once at
// start-up and scrolled from right to left by 时钟1.

#include "text/text.h"

#include <QString>

namespace lorvane {

// "https://<announcement host>:442/rjsm.php".
Text announcement_endpoint();

// Test-only: fetch the announcement from `address` instead. An empty text restores the program's own.
void set_announcement_endpoint_for_tests(const Text& address);

// The announcement as the strip shows it: on one line, each line break (CR LF, CR or LF) shown as
// one blank.
QString marquee_text(const Text& announcement);

} // namespace lorvane
