// The profile facility under a random document and a random run of writes and deletes.
//
// Two kinds of run, chosen by the first byte:
// - Any bytes as the starting document. After every change: the lines it did not change keep their
//   bytes, the lines it wrote are whole entry or header lines ended by CR LF (none blank), a value
//   written reads back as written, a removal took away whole lines of the right key or section, and
//   a fresh parse of the bytes agrees with the document that was changed in place.
// - The program's own layout: an empty start, then only the facility's changes. The bytes must then
//   be exactly those of a plain model of sections and entries, and the key listing of every section
//   must give the model's keys.

#include "fuzz_support.h"

#include "platform/profile.h"
#include "store/data_file.h"
#include "store/section_keys.h"

#include <algorithm>
#include <optional>
#include <string>

namespace lorvane::fuzz {
namespace {

using profile::Document;

constexpr std::size_t max_document = 4096;
constexpr std::size_t max_operations = 64;
constexpr std::size_t max_name = 12;
constexpr std::size_t max_value = 48;
constexpr std::size_t max_removed_keys = 6;
constexpr std::uint8_t pooled_names = 200; // name bytes below this pick from a pool

// Names that collide in the ways that matter: case, a second byte that is an ASCII letter or a
// bracket, blanks around, brackets inside, and the program's own section names in GBK.
const std::vector<std::string> section_pool = {"s",
                                               "S",
                                               " s ",
                                               "t",
                                               "\x81]",
                                               "a[b",
                                               "\xBF\xC9\xD1\xA1\xD7\xE9\xBA\xCF\xC1\xB4\xBD\xD3",
                                               "=x",
                                               "\x81\x41",
                                               "\xC0\xFA\xCA\xB7\xBC\xC7\xC2\xBC"};
const std::vector<std::string> key_pool = {
    "k", "K", " k\t", "a", "\x81\x41", "\x81\x61", "\x81=", "k[1]", "[k", "k]", "\x81[", "a b", "x\xD6", "2020"};

std::string name(Input& in, const std::vector<std::string>& pool) {
    const std::uint8_t choice = in.byte();
    return choice < pooled_names ? pool[choice % pool.size()] : in.text(max_name);
}

// What the facility writes for a value, by the rules it promises.
std::string writable(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (c != '\r' && c != '\n' && c != '\0' && c != '\x1A') {
            out.push_back(c);
        }
    }
    if (ref::last_cut(out)) {
        out.pop_back();
    }
    return out;
}

bool no_unwritable_byte(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0\x1A", 4)) == std::string_view::npos;
}

bool valid_key(std::string_view key) {
    const std::string k = ref::trim(key);
    return !k.empty() && k[0] != '[' && ref::find(k, "=") == std::string_view::npos && no_unwritable_byte(k) &&
           !ref::last_cut(k);
}

bool valid_section(std::string_view section) {
    const std::string s = ref::trim(section);
    return !s.empty() && ref::find(s, "]") == std::string_view::npos && no_unwritable_byte(s) && !ref::last_cut(s);
}

// The key of an entry line, trimmed and folded; nothing for a header or a line without "=".
std::optional<std::string> folded_key_of(const std::string& line) {
    const std::size_t equals = ref::find(line, "=");
    if ((!line.empty() && line[0] == '[') || equals == std::string::npos) {
        return std::nullopt;
    }
    return ref::fold(ref::trim(line.substr(0, equals)));
}

// The name of a header line, folded: after "[" up to the first "]" that begins a character.
std::optional<std::string> folded_section_of(const std::string& line) {
    if (line.empty() || line[0] != '[') {
        return std::nullopt;
    }
    const std::size_t close = ref::find(line, "]", 1);
    return ref::fold(close == std::string::npos ? line.substr(1) : line.substr(1, close - 1));
}

// What each change must turn the document into, worked out line by line from the facility's
// promises: every line it does not change keeps its bytes, a line it writes is a whole entry or
// header line ended by CR LF, a new key goes after its section's last entry and a new section at
// the end, and an unended last line gets its CR LF (less a lead byte standing last) before
// anything is put after it.
class Expected {
public:
    explicit Expected(std::string_view bytes) : lines_(ref::lines(bytes)) {}

    std::string bytes() const {
        std::string out;
        for (const ref::Line& line : lines_) {
            out += line.whole();
        }
        return out;
    }

    void set(const std::string& section, const std::string& key, const std::string& value) {
        const std::string written = writable(value);
        const ref::Line entry{ref::trim(key) + "=" + written, true};
        const auto header = header_of(section);
        const std::size_t end = header ? end_of(*header) : lines_.size();
        if (const auto line = header ? entry_of(*header, end, key, {}) : std::nullopt) {
            ref::Line& l = lines_[*line];
            l.text = l.text.substr(0, ref::find(l.text, "=") + 1) + written;
            l.ended = true;
            return;
        }
        std::size_t after = lines_.size(); // none: the file is empty
        if (header) {
            after = *header;
            for (std::size_t i = *header + 1; i < end; ++i) {
                after = folded_key_of(lines_[i].text) ? i : after;
            }
        } else if (!lines_.empty()) {
            after = lines_.size() - 1;
        }
        if (after < lines_.size() && !lines_[after].ended) {
            // Ending the last line may rename the section it heads: start again on the ended file.
            end_line(lines_[after]);
            set(section, key, value);
            return;
        }
        std::vector<ref::Line> added{entry};
        if (!header) {
            added.insert(added.begin(), ref::Line{"[" + ref::trim(section) + "]", true});
        }
        lines_.insert(after < lines_.size() ? lines_.begin() + static_cast<std::ptrdiff_t>(after + 1) : lines_.end(),
                      added.begin(), added.end());
    }

    // For each key in turn the first remaining line of it in the section goes.
    std::vector<bool> remove_keys(const std::string& section, const TextList& keys) {
        std::vector<bool> removed(keys.size(), false);
        const auto header = valid_section(section) ? header_of(section) : std::nullopt;
        if (!header) {
            return removed;
        }
        const std::size_t end = end_of(*header);
        std::vector<bool> drop(lines_.size(), false);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (const auto line = valid_key(keys[k]) ? entry_of(*header, end, keys[k], drop) : std::nullopt) {
                drop[*line] = true;
                removed[k] = true;
            }
        }
        std::vector<ref::Line> kept;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (!drop[i]) {
                kept.push_back(lines_[i]);
            }
        }
        lines_ = std::move(kept);
        return removed;
    }

    bool remove_section(const std::string& section) {
        const auto header = valid_section(section) ? header_of(section) : std::nullopt;
        if (!header) {
            return false;
        }
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end_of(*header)));
        return true;
    }

private:
    static void end_line(ref::Line& line) {
        if (!line.ended && ref::last_cut(line.text)) {
            line.text.pop_back();
        }
        line.ended = true;
    }

    std::optional<std::size_t> header_of(const std::string& section) const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (folded_section_of(lines_[i].text) == ref::fold(ref::trim(section))) {
                return i;
            }
        }
        return std::nullopt;
    }

    std::size_t end_of(std::size_t header) const {
        std::size_t i = header + 1;
        while (i < lines_.size() && !folded_section_of(lines_[i].text)) {
            ++i;
        }
        return i;
    }

    std::optional<std::size_t> entry_of(std::size_t header, std::size_t end, const std::string& key,
                                        const std::vector<bool>& skip) const {
        for (std::size_t i = header + 1; i < end; ++i) {
            if ((skip.empty() || !skip[i]) && folded_key_of(lines_[i].text) == ref::fold(ref::trim(key))) {
                return i;
            }
        }
        return std::nullopt;
    }

    std::vector<ref::Line> lines_;
};

// A fresh parse must see what the changed document sees: no stale index survives a change.
void check_reparse(const Document& doc, const std::string& section, const std::string& key) {
    const Document fresh(doc.bytes());
    FUZZ_CHECK(fresh.value(section, key) == doc.value(section, key));
    for (const std::string& s : section_pool) {
        FUZZ_CHECK(fresh.value(s, key) == doc.value(s, key));
    }
}

// The program's own layout, as a plain list of sections and entries in file order.
struct Model {
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections;

    Section* find(const std::string& section) {
        for (Section& s : sections) {
            if (ref::fold(s.name) == ref::fold(ref::trim(section))) {
                return &s;
            }
        }
        return nullptr;
    }

    static std::vector<Entry>::iterator find(Section& s, const std::string& key) {
        return std::find_if(s.entries.begin(), s.entries.end(),
                            [&](const Entry& e) { return ref::fold(e.key) == ref::fold(ref::trim(key)); });
    }

    void set(const std::string& section, const std::string& key, const std::string& value) {
        Section* s = find(section);
        if (s == nullptr) {
            sections.push_back({ref::trim(section), {}});
            s = &sections.back();
        }
        const auto e = find(*s, key);
        if (e == s->entries.end()) {
            s->entries.push_back({ref::trim(key), writable(value)});
        } else {
            e->value = writable(value); // the key keeps its first spelling
        }
    }

    bool remove(const std::string& section, const std::string& key) {
        Section* s = valid_section(section) ? find(section) : nullptr;
        if (s == nullptr || !valid_key(key)) {
            return false;
        }
        const auto e = find(*s, key);
        if (e == s->entries.end()) {
            return false;
        }
        s->entries.erase(e);
        return true;
    }

    bool remove_section(const std::string& section) {
        Section* s = valid_section(section) ? find(section) : nullptr;
        if (s == nullptr) {
            return false;
        }
        sections.erase(sections.begin() + (s - sections.data()));
        return true;
    }

    std::string bytes() const {
        std::string out;
        for (const Section& s : sections) {
            out += "[" + s.name + "]\r\n";
            for (const Entry& e : s.entries) {
                out += e.key + "=" + e.value + "\r\n";
            }
        }
        return out;
    }
};

void check_model(const Document& doc, const Model& model) {
    FUZZ_CHECK(doc.bytes() == model.bytes());
    const std::string text = data_text_of(doc.bytes());
    FUZZ_CHECK(text == doc.bytes());
    for (const Model::Section& s : model.sections) {
        TextList keys;
        for (const Model::Entry& e : s.entries) {
            keys.push_back(e.key);
            FUZZ_CHECK(doc.value(s.name, e.key) == ref::trim(e.value));
        }
        FUZZ_CHECK(list_section_keys_in(text, "[" + s.name + "]") == keys);
    }
}

// LORVANE_FUZZ_TRACE=1 prints every change and the document after it, to follow a failing input.
std::string escaped(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && c != '\\') {
            out.push_back(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

void trace(const char* what, const std::string& section, const std::string& key, const Document& doc) {
    static const bool on = std::getenv("LORVANE_FUZZ_TRACE") != nullptr;
    if (on) {
        std::fprintf(stderr, "%s [%s] %s\n  -> %s\n", what, escaped(section).c_str(), escaped(key).c_str(),
                     escaped(doc.bytes()).c_str());
    }
}

void run(Input& in, bool own_layout) {
    Document doc(own_layout ? std::string() : in.text(max_document));
    trace("start", "", "", doc);
    Model model;
    for (std::size_t op = 0; op < max_operations && !in.empty(); ++op) {
        Expected expected(doc.bytes());
        const std::uint8_t kind = in.byte() % 4;
        const std::string section = name(in, section_pool);
        std::string key = "k";
        if (kind == 0) {
            key = name(in, key_pool);
            const std::string value = in.text(max_value);
            const bool ok = doc.set_value(section, key, value);
            trace(("set " + escaped(value)).c_str(), section, key, doc);
            FUZZ_CHECK(ok == (valid_section(section) && valid_key(key)));
            if (ok) {
                expected.set(section, key, value);
                model.set(section, key, value);
                // A value written reads back as written: trimmed, without the bytes it may not hold.
                FUZZ_CHECK(doc.value(section, key) == ref::trim(writable(value)));
            }
        } else if (kind == 1 || kind == 2) {
            TextList keys(kind == 1 ? 1 : in.number(max_removed_keys));
            for (std::string& k : keys) {
                k = name(in, key_pool);
            }
            key = keys.empty() ? key : keys.front();
            const std::vector<bool> removed =
                kind == 1 ? std::vector<bool>{doc.remove_key(section, key)} : doc.remove_keys(section, keys);
            trace(kind == 1 ? "remove key" : "remove keys, the first", section, key, doc);
            FUZZ_CHECK(removed == expected.remove_keys(section, keys));
            for (std::size_t i = 0; own_layout && i < keys.size(); ++i) {
                FUZZ_CHECK(removed[i] == model.remove(section, keys[i]));
                FUZZ_CHECK(!doc.value(section, keys[i])); // no key is written twice, so none is left
            }
        } else {
            const bool removed = doc.remove_section(section);
            trace("remove section", section, "", doc);
            FUZZ_CHECK(removed == expected.remove_section(section));
            FUZZ_CHECK(!own_layout || removed == model.remove_section(section));
        }
        FUZZ_CHECK(doc.bytes() == expected.bytes());
        check_reparse(doc, section, key);
        if (own_layout) {
            check_model(doc, model);
        }
    }
}

} // namespace
} // namespace lorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lorvane::fuzz::Input in(data, size);
    const bool own_layout = (in.byte() & 1) != 0;
    lorvane::fuzz::run(in, own_layout);
    return 0;
}
