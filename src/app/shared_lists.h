#pragma once

// The two key lists the windows share for the life of the program. Both start empty and are
// released when the program ends normally.

#include "text/text.h"

namespace lorvane {

// Keys of "可选组合链接" as the link manager last listed them.
TextList& link_names();

// Keys of "历史记录" as the history window last listed them.
TextList& history_keys();

} // namespace lorvane
