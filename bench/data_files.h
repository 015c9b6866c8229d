#pragma once

// Data files as a long-standing user's copy of the program leaves them: fifty combination links, the
// selector's remembered index, and a history that has grown by one record per opened link and was
// never compacted. Titles are what video sites put in their pages (Chinese text, "|" between the
// film and the site, "[" around tags, traditional characters whose second GBK byte is "[" or "|");
// addresses carry the query strings that pasted addresses carry.

#include "text/text.h"

#include <cstddef>
#include <ctime>

namespace lorvane::bench {

inline constexpr std::size_t link_count = 50;

// The whole file, CR LF line ends, GBK. The history keys are the date-time texts of openings some
// minutes to hours apart, from 2017 on, all distinct; the same `records` always gives the same bytes.
Text generate_data_file(std::size_t records);

// A moment after every record of every generated file, for new records written while measuring.
std::time_t after_generated_history();

// A page address of the kind the history holds, as pasted into the main window.
Text sample_page_address();

} // namespace lorvane::bench
