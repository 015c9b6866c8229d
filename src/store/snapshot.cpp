#include "store/snapshot.h"

#include "store/data_file.h"
#include "store/section_keys.h"

namespace lorvane {

DataSnapshot DataSnapshot::load() {
    DataSnapshot snapshot;
    Text bytes = profile::read_file(data_file_path()).value_or(Text());
    const std::size_t text_length = data_text_length(bytes);
    if (text_length < bytes.size()) {
        snapshot.cut_text_ = bytes.substr(0, text_length);
    }
    snapshot.document_ = profile::Document(std::move(bytes));
    return snapshot;
}

TextList DataSnapshot::list_section_keys(const Text& header) const {
    return list_section_keys_in(text(), header);
}

Text DataSnapshot::read_entry(const Text& section, const Text& key) const {
    return read_entry_in(document_, section, key);
}

} // namespace lorvane
