// The key listing over any text: list_section_keys_in against a plain version of its rules, and
// the cut of the raw text at the first zero or Ctrl+Z that begins a character.
//
// The rules: lines end only at a CR LF that begins a character; the section is the first line that
// begins with the header; its body runs to the next line that begins with "["; the rest of the
// header line is no key; a key is the bytes of its line before the first "=" that begins a
// character, the whole line giving an empty key when there is none.

#include "fuzz_support.h"

#include "store/data_file.h"
#include "store/section_keys.h"

namespace lorvane::fuzz {
namespace {

constexpr std::size_t max_header = 12;

// Headers as the program asks for them, and odd ones.
const std::vector<std::string> header_pool = {
    "[h]",
    "[H]",
    "[\xC0\xFA\xCA\xB7\xBC\xC7\xC2\xBC]",
    "[\xBF\xC9\xD1\xA1\xD7\xE9\xBA\xCF\xC1\xB4\xBD\xD3]",
    "[\x81]]",
    "[",
    "]",
    "h",
};

TextList listing_ref(std::string_view text, const std::string& header) {
    TextList keys;
    if (header.empty()) {
        return keys;
    }
    const std::vector<ref::Line> lines = ref::lines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].text.compare(0, header.size(), header) != 0) {
        ++i;
    }
    for (++i; i < lines.size() && (lines[i].text.empty() || lines[i].text[0] != '['); ++i) {
        const std::size_t equals = ref::find(lines[i].text, "=");
        keys.push_back(equals == std::string::npos ? std::string() : lines[i].text.substr(0, equals));
    }
    return keys;
}

std::string cut_ref(std::string_view bytes) {
    const std::vector<bool> starts = ref::char_starts(bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (starts[i] && (bytes[i] == '\0' || bytes[i] == '\x1A')) {
            return std::string(bytes.substr(0, i));
        }
    }
    return std::string(bytes);
}

} // namespace
} // namespace lorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lorvane;
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.byte();
    const std::string header = choice < fuzz::header_pool.size() * 16
                                   ? fuzz::header_pool[choice % fuzz::header_pool.size()]
                                   : in.text(fuzz::max_header);
    const std::string bytes = in.rest();

    const std::string text = data_text_of(bytes);
    FUZZ_CHECK(text == fuzz::cut_ref(bytes));
    FUZZ_CHECK(list_section_keys_in(text, header) == fuzz::listing_ref(text, header));
    FUZZ_CHECK(list_section_keys_in(bytes, header) == fuzz::listing_ref(bytes, header));
    return 0;
}
