#pragma once

// Lists the keys of one section from the data file's raw text, in file order. Duplicates and empty
// keys stay. The section's header counts only at the start of a line and its body ends at the next
// line that begins with "["; the remainder of the header line is never a key; a key is the bytes
// before its line's first "=", a line without "=" gives an empty key; only CR LF ends a line.

#include "text/text.h"

namespace lorvane {

// `header` is the section header with its brackets, as written in the file: "[可选组合链接]".
TextList list_section_keys(const Text& header);                           // reads the data file
TextList list_section_keys_in(std::string_view text, const Text& header); // over a text read already

} // namespace lorvane
