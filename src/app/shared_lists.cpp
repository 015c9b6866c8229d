#include "app/shared_lists.h"

namespace lorvane {

// Made on first use and destroyed with the other statics when main returns.
TextList& link_names() {
    static TextList names;
    return names;
}

TextList& history_keys() {
    static TextList keys;
    return keys;
}

} // namespace lorvane
