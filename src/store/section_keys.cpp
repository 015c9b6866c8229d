#include "store/section_keys.h"

#include "store/data_file.h"

namespace lorvane {

namespace {

bool is_header_line(std::string_view line) {
    return !line.empty() && line[0] == '[';
}

} // namespace

TextList list_section_keys_in(std::string_view text, const Text& header) {
    TextList keys;
    if (header.empty()) {
        return keys;
    }
    const std::vector<LineSpan> lines = split_lines(text);
    const auto line_at = [&](std::size_t i) { return text.substr(lines[i].begin, lines[i].length); };
    // The first line that starts with the header is the section's; the rest of that line is no key.
    std::size_t i = 0;
    while (i < lines.size() && !line_at(i).starts_with(header)) {
        ++i;
    }
    // The body runs to the next line that begins with "[", the next section's header.
    for (++i; i < lines.size() && !is_header_line(line_at(i)); ++i) {
        const std::string_view line = line_at(i);
        keys.push_back(take_left(line, position_of(line, "=") - 1)); // no "=": -2, an empty key
    }
    return keys;
}

TextList list_section_keys(const Text& header) {
    return list_section_keys_in(read_data_text(), header);
}

} // namespace lorvane
