// The profile facility's documents: finding sections and keys in a file's bytes and changing them
// line by line. profile_file.cpp reads and writes the files.

#include "platform/profile.h"

#include <utility>

namespace lorvane::profile {

namespace {

constexpr std::string_view line_break = "\r\n";
// Bytes no name may hold and no value is written with: CR and LF would end the line, and a zero
// byte or Ctrl+Z (0x1A) ends the raw text the key listing reads, so every later line would drop out
// of every list.
constexpr std::string_view unwritable_bytes{"\r\n\0\x1A", 4};

bool has_unwritable_byte(std::string_view s) {
    return s.find_first_of(unwritable_bytes) != std::string_view::npos;
}

// The comparison form of a name: ASCII letters in lower case, as the Windows profile functions match
// them. A second byte is copied as it is, so 丄 (81 41) and 乤 (81 61) stay different.
std::string fold(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (is_lead_byte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool is_header(std::string_view line) {
    return !line.empty() && line[0] == '[';
}

// The name of a header line: after "[", up to the first "]" or the end of the line.
std::string_view header_name(std::string_view line) {
    const Position close = position_of(line, "]", 2);
    return close == -1 ? line.substr(1) : line.substr(1, static_cast<std::size_t>(close - 2));
}

// 1-based position of an entry line's "=", or -1 for a line that is no entry.
Position equals_of(std::string_view line) {
    return is_header(line) ? -1 : position_of(line, "=");
}

std::string_view entry_key(std::string_view line, Position equals) {
    return trim_blanks(line.substr(0, static_cast<std::size_t>(equals - 1)));
}

// What a value is written as: without CR, LF, zero bytes and Ctrl+Z, and without a last lead byte
// that would pair with the CR of the line end and so keep the line from ending.
Text writable_value(std::string_view value) {
    Text out;
    out.reserve(value.size());
    for (char c : value) {
        if (unwritable_bytes.find(c) == std::string_view::npos) {
            out.push_back(c);
        }
    }
    if (last_character_cut(out)) {
        out.pop_back();
    }
    return out;
}

} // namespace

bool is_valid_key(std::string_view key) {
    const std::string_view k = trim_blanks(key);
    return !k.empty() && k[0] != '[' && position_of(k, "=") == -1 && !has_unwritable_byte(k) && !last_character_cut(k);
}

bool is_valid_section(std::string_view section) {
    const std::string_view s = trim_blanks(section);
    return !s.empty() && position_of(s, "]") == -1 && !has_unwritable_byte(s) && !last_character_cut(s);
}

Document::Document(Text bytes) : bytes_(std::move(bytes)), lines_(split_lines(bytes_)) {}

std::string_view Document::line_text(std::size_t i) const {
    return std::string_view(bytes_).substr(lines_[i].begin, lines_[i].length);
}

std::size_t Document::line_stop(std::size_t i) const {
    return lines_[i].begin + lines_[i].length + (lines_[i].ended ? line_break.size() : 0);
}

std::optional<std::size_t> Document::find_section(std::string_view section) const {
    if (!sections_) {
        sections_.emplace();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (is_header(line_text(i))) {
                sections_->emplace(fold(header_name(line_text(i))), i); // the first of a name stays
            }
        }
    }
    const auto found = sections_->find(fold(trim_blanks(section)));
    return found == sections_->end() ? std::nullopt : std::optional<std::size_t>(found->second);
}

std::size_t Document::section_end(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !is_header(line_text(i))) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> Document::find_key(std::size_t header, std::string_view key) const {
    auto [keys, fresh] = keys_.try_emplace(header);
    if (fresh) {
        const std::size_t end = section_end(header);
        for (std::size_t i = header + 1; i < end; ++i) {
            const Position equals = equals_of(line_text(i));
            if (equals != -1) {
                keys->second.emplace(fold(entry_key(line_text(i), equals)), i);
            }
        }
    }
    const auto found = keys->second.find(fold(trim_blanks(key)));
    return found == keys->second.end() ? std::nullopt : std::optional<std::size_t>(found->second);
}

std::optional<Text> Document::value(std::string_view section, std::string_view key) const {
    if (trim_blanks(section).empty() || trim_blanks(key).empty()) {
        return std::nullopt;
    }
    const auto header = find_section(section);
    const auto entry = header ? find_key(*header, key) : std::nullopt;
    if (!entry) {
        return std::nullopt;
    }
    const std::string_view line = line_text(*entry);
    return Text(trim_blanks(line.substr(static_cast<std::size_t>(equals_of(line)))));
}

void Document::splice(std::size_t offset, std::size_t erase, std::string_view insert) {
    bytes_.replace(offset, erase, insert);
    lines_ = split_lines(bytes_);
    sections_.reset();
    keys_.clear();
}

void Document::end_last_line() {
    // A lead byte standing last would take the CR of the line end as its second byte, so it goes.
    const std::size_t last = lines_.size() - 1;
    const std::size_t cut = last_character_cut(line_text(last)) ? 1 : 0;
    splice(line_stop(last) - cut, cut, line_break);
}

bool Document::set_value(std::string_view section, std::string_view key, std::string_view value) {
    if (!is_valid_section(section) || !is_valid_key(key)) {
        return false;
    }
    const std::string_view name = trim_blanks(section);
    const Text written = writable_value(value);
    const Text entry_line = Text(trim_blanks(key)) + "=" + written + Text(line_break);
    const auto header = find_section(name);
    if (header) {
        if (const auto entry = find_key(*header, key)) {
            // The bytes up to the "=" stay, so that the key keeps its spelling in the file.
            const std::size_t value_begin =
                lines_[*entry].begin + static_cast<std::size_t>(equals_of(line_text(*entry)));
            const std::size_t value_end = lines_[*entry].begin + lines_[*entry].length;
            // A line the facility writes ends with CR LF, also when it was the file's unended last line.
            splice(value_begin, value_end - value_begin, lines_[*entry].ended ? written : written + Text(line_break));
            return true;
        }
    }
    if (lines_.empty()) {
        splice(0, 0, "[" + Text(name) + "]" + Text(line_break) + entry_line);
        return true;
    }
    // A new key goes after the section's last entry, so that blank or odd lines at its end stay after
    // it; a new section goes at the end of the file.
    std::size_t after = lines_.size() - 1;
    if (header) {
        after = *header;
        const std::size_t end = section_end(*header);
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (equals_of(line_text(i)) != -1) {
                after = i;
            }
        }
    }
    if (!lines_[after].ended) {
        // The file's last line gets its CR LF first. Losing a lead byte that stood last can change
        // what that line names ("[s" + lead byte becomes the header of "s"), so the place of the new
        // line is then found again.
        end_last_line();
        return set_value(section, key, value);
    }
    splice(line_stop(after), 0, header ? entry_line : "[" + Text(name) + "]" + Text(line_break) + entry_line);
    return true;
}

bool Document::remove_key(std::string_view section, std::string_view key) {
    return remove_keys(section, TextList{Text(key)}).front();
}

std::vector<bool> Document::remove_keys(std::string_view section, const TextList& keys) {
    std::vector<bool> removed(keys.size(), false);
    const auto header = is_valid_section(section) ? find_section(section) : std::nullopt;
    if (!header) {
        return removed;
    }
    // Every entry line of the section by folded key, in file order: the first remaining one goes.
    std::unordered_map<std::string, std::vector<std::size_t>> lines_of;
    const std::size_t end = section_end(*header);
    for (std::size_t i = end; i-- > *header + 1;) {
        const Position equals = equals_of(line_text(i));
        if (equals != -1) {
            lines_of[fold(entry_key(line_text(i), equals))].push_back(i); // last line first
        }
    }
    std::vector<bool> drop(lines_.size(), false);
    bool any = false;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const auto found = is_valid_key(keys[k]) ? lines_of.find(fold(trim_blanks(keys[k]))) : lines_of.end();
        if (found != lines_of.end() && !found->second.empty()) {
            drop[found->second.back()] = true;
            found->second.pop_back();
            removed[k] = true;
            any = true;
        }
    }
    if (any) {
        Text kept;
        kept.reserve(bytes_.size());
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (!drop[i]) {
                kept.append(bytes_, lines_[i].begin, line_stop(i) - lines_[i].begin);
            }
        }
        *this = Document(std::move(kept));
    }
    return removed;
}

bool Document::remove_section(std::string_view section) {
    const auto header = is_valid_section(section) ? find_section(section) : std::nullopt;
    if (!header) {
        return false;
    }
    const std::size_t first = lines_[*header].begin;
    splice(first, line_stop(section_end(*header) - 1) - first, {});
    return true;
}

} // namespace lorvane::profile
