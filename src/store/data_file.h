#pragma once

// The program's one data file, Data/URL.ini beside the executable, and its three sections.

#include "platform/profile.h"
#include "text/text.h"

#include <string_view>
#include <vector>

namespace lorvane {

// Section names, as GBK text.
const Text& link_section();     // "可选组合链接": display name = link address
const Text& selector_section(); // "组合框配置": "默认选中项" = the selector's 0-based index
const Text& selector_key();     // "默认选中项"
const Text& history_section();  // "历史记录": date-time text = title "|" address

// "[" + name + "]", as the header line of the section is written.
Text section_header(const Text& name);

Text data_folder_path(); // run_dir + "/Data"
Text data_file_path();   // run_dir + "/Data/URL.ini"

// The whole file as raw bytes, cut at the first 0x00 or 0x1A that is not the second byte of a
// two-byte character. The file is opened for reading only; a missing or unreadable one reads empty.
Text read_data_text();
// The same cut, over the file's bytes read already; and its length in bytes.
Text data_text_of(std::string_view file_bytes);
std::size_t data_text_length(std::string_view file_bytes);

// Leading bytes 1 to 32 are skipped in the section and the key; an empty one gives empty text. A
// value longer than 10239 bytes comes back cut to 10239, as the program has always read it.
Text read_entry(const Text& section, const Text& key);
// The same rules, over a document parsed already.
Text read_entry_in(const profile::Document& document, const Text& section, const Text& key);

// Each returns true when the file on disk holds the change afterwards. Section, key and value end at
// their first zero byte, as they did when they were handed to the Windows profile functions.
bool write_entry(const Text& section, const Text& key, const Text& value);
bool delete_entry(const Text& section, const Text& key);
bool delete_section(const Text& section);

// Deletes the first remaining entry of each key, in one read and one atomic write. `removed[i]` tells
// whether keys[i] was found and deleted; `written` whether the file reached the disk (true also when
// nothing had to change).
struct RemovalResult {
    bool written = false;
    std::vector<bool> removed;
};
RemovalResult delete_entries(const Text& section, const TextList& keys);

// Presence tests over a text read with read_data_text: the header occurs anywhere in it; and, for
// the second, an "=" occurs at or after the header's position.
bool section_present(const Text& text, const Text& name);
bool section_present_with_entries(const Text& text, const Text& name);

} // namespace lorvane
