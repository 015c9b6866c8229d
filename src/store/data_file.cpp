#include "store/data_file.h"

#include "platform/run_dir.h"
#include "text/gbk.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

namespace {

// The value buffer the program has always read entries into, terminating zero included.
constexpr std::size_t value_buffer_bytes = 10240;
constexpr char end_of_file_mark = 0x1A;

// The part of `text` before its first zero byte.
std::string_view as_c_string(const Text& text) {
    return std::string_view(text.c_str());
}

} // namespace

const Text& link_section() {
    static const Text name = gbk("可选组合链接");
    return name;
}

const Text& selector_section() {
    static const Text name = gbk("组合框配置");
    return name;
}

const Text& selector_key() {
    static const Text name = gbk("默认选中项");
    return name;
}

const Text& history_section() {
    static const Text name = gbk("历史记录");
    return name;
}

Text section_header(const Text& name) {
    return "[" + name + "]";
}

Text data_folder_path() {
    return run_dir() + "/Data";
}

Text data_file_path() {
    return run_dir() + "/Data/URL.ini";
}

std::size_t data_text_length(std::string_view file_bytes) {
    // A zero byte or Ctrl+Z ends the text, except as the second byte of a two-byte character. In a
    // run of ASCII every byte begins a character, so the run is searched whole; a lead byte takes
    // the byte after it along.
    std::size_t i = 0;
    while (i < file_bytes.size()) {
        const std::size_t run_end = next_lead_byte(file_bytes, i);
        const std::string_view run = file_bytes.substr(i, run_end - i);
        std::size_t cut = run.size();
        for (const char end_mark : {'\0', end_of_file_mark}) {
            if (const void* at = std::memchr(run.data(), end_mark, run.size())) {
                cut = std::min(cut, static_cast<std::size_t>(static_cast<const char*>(at) - run.data()));
            }
        }
        if (cut < run.size()) {
            return i + cut;
        }
        i = run_end + 2;
    }
    return file_bytes.size();
}

Text data_text_of(std::string_view file_bytes) {
    return Text(file_bytes.substr(0, data_text_length(file_bytes)));
}

Text read_data_text() {
    std::optional<Text> bytes = profile::read_file(data_file_path());
    if (!bytes) {
        return {};
    }
    // Cut in place: a copy of a history of many megabytes costs more than the reading.
    bytes->resize(data_text_length(*bytes));
    return std::move(*bytes);
}

Text read_entry_in(const profile::Document& document, const Text& section, const Text& key) {
    const std::string_view s = trim_leading_blanks(as_c_string(section));
    const std::string_view k = trim_leading_blanks(as_c_string(key));
    if (s.empty() || k.empty()) {
        return {};
    }
    Text value = document.value(s, k).value_or(Text());
    if (value.size() >= value_buffer_bytes) {
        value.resize(value_buffer_bytes - 1);
    }
    return value;
}

Text read_entry(const Text& section, const Text& key) {
    std::optional<Text> bytes = profile::read_file(data_file_path());
    if (!bytes) {
        return {};
    }
    return read_entry_in(profile::Document(std::move(*bytes)), section, key);
}

bool write_entry(const Text& section, const Text& key, const Text& value) {
    return profile::write_value(data_file_path(), as_c_string(section), as_c_string(key), as_c_string(value));
}

bool delete_entry(const Text& section, const Text& key) {
    return profile::delete_key(data_file_path(), as_c_string(section), as_c_string(key));
}

bool delete_section(const Text& section) {
    return profile::delete_section(data_file_path(), as_c_string(section));
}

RemovalResult delete_entries(const Text& section, const TextList& keys) {
    TextList names;
    names.reserve(keys.size());
    for (const Text& key : keys) {
        names.emplace_back(as_c_string(key));
    }
    RemovalResult result;
    result.removed.assign(keys.size(), false);
    result.written = profile::update(data_file_path(), [&](profile::Document& document) {
        result.removed = document.remove_keys(as_c_string(section), names);
        for (const bool removed : result.removed) {
            if (removed) {
                return true;
            }
        }
        return false;
    });
    return result;
}

bool section_present(const Text& text, const Text& name) {
    return position_of(text, section_header(name)) != -1;
}

bool section_present_with_entries(const Text& text, const Text& name) {
    const Position header = position_of(text, section_header(name));
    return header != -1 && position_of(text, "=", header) != -1;
}

} // namespace lorvane
