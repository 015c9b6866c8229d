#pragma once

// One record of "历史记录" as the history window shows it: the key is the moment of opening, the
// value the page title, "|" and the pasted address.

#include "text/text.h"

namespace lorvane {

struct HistoryRecord {
    Text browse_date; // the key: format_timestamp of the opening
    Text title;
    Text address;
};

// Page titles often hold "|" ("片名 | 站点") while a "|" inside an address is written as "%7C", so
// the value splits at its last "|": the title is everything before it, the address everything after.
// A value without "|" (a record cut short by a line break, an empty value) is all address.
HistoryRecord history_record(const Text& key, const Text& value);

} // namespace lorvane
