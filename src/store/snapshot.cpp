#include "store/snapshot.h"

#include "store/data_file.h"
#include "store/section_keys.h"

namespace lorvane {

DataSnapshot DataSnapshot::load() {
    DataSnapshot snapshot;
    Text bytes = profile::read_file(data_file_path()).value_or(Text());
    snapshot.text_ = data_text_of(bytes);
    snapshot.document_ = profile::Document(std::move(bytes));
    return snapshot;
}

TextList DataSnapshot::list_section_keys(const Text& header) const {
    return list_section_keys_in(text_, header);
}

Text DataSnapshot::read_entry(const Text& section, const Text& key) const {
    return read_entry_in(document_, section, key);
}

} // namespace lorvane
