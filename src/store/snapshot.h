#pragma once

// One read of the data file, for a user action that needs many entries: the history grows without
// limit, so no action reads the file once per key.

#include "platform/profile.h"
#include "text/text.h"

#include <optional>

namespace lorvane {

class DataSnapshot {
public:
    static DataSnapshot load(); // reads data_file_path() once

    // As read_data_text() gives it.
    const Text& text() const { return cut_text_ ? *cut_text_ : document_.bytes(); }
    TextList list_section_keys(const Text& header) const;
    Text read_entry(const Text& section, const Text& key) const; // same rules as read_entry()

private:
    // Only when a zero byte or Ctrl+Z cuts the raw text short of the file; otherwise the text is the
    // document's own bytes, so that a long history is held once and not twice.
    std::optional<Text> cut_text_;
    profile::Document document_;
};

} // namespace lorvane
