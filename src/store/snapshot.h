#pragma once

// One read of the data file, for a user action that needs many entries: the history grows without
// limit, so no action reads the file once per key.

#include "platform/profile.h"
#include "text/text.h"

namespace lorvane {

class DataSnapshot {
public:
    static DataSnapshot load(); // reads data_file_path() once

    const Text& text() const { return text_; } // as read_data_text() gives it
    TextList list_section_keys(const Text& header) const;
    Text read_entry(const Text& section, const Text& key) const; // same rules as read_entry()

private:
    Text text_;
    profile::Document document_;
};

} // namespace lorvane
