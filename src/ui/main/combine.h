#pragma once

// The program's main command, "组合全屏打开", and the history record it leaves.

#include "text/text.h"

namespace lorvane {

// Writes the record `stamp` = title "|" address into "历史记录"; a record of the same second is
// replaced. Page titles often hold "|" ("片名 | 站点"), so each "|" of the address is written as
// "%7C", which a browser takes for the same address, and the value splits at its last "|". True
// when the record reached the file.
bool record_history(const Text& stamp, const Text& title, const Text& address);

} // namespace lorvane
