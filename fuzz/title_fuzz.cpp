// Page titles and text_between over any input.
//
// extract_page_title: the title is valid code page 936 without a zero byte, one line with single
// spaces and no blank at either end (it becomes a history record's value), and nothing comes out of
// a body without markup. text_between: the bytes between the markers, against a plain search.

#include "fuzz_support.h"

#include "text/gbk.h"
#include "web/web.h"

namespace lorvane::fuzz {
namespace {

constexpr std::size_t max_marker = 10;
constexpr Position max_start = 64;
const std::string quote_placeholder = "#\xD2\xFD\xBA\xC5"; // "#引号" in GBK

// Every placeholder, found where a character begins, replaced by a double quote.
std::string with_quotes(const std::string& marker) {
    std::string out;
    const std::vector<bool> starts = ref::char_starts(marker);
    for (std::size_t i = 0; i < marker.size();) {
        if (starts[i] && marker.compare(i, quote_placeholder.size(), quote_placeholder) == 0) {
            out.push_back('"');
            i += quote_placeholder.size();
        } else {
            out.push_back(marker[i++]);
        }
    }
    return out;
}

std::string between_ref(const std::string& source, const std::string& start_marker, const std::string& end_marker,
                        Position start, bool ignore_case) {
    const std::string a = with_quotes(start_marker);
    const std::string b = with_quotes(end_marker);
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= source.size()) {
        return {};
    }
    // An empty marker is found at the beginning of the text, wherever the search starts.
    const std::size_t p = a.empty() ? 0 : ref::find_case(source, a, from, ignore_case);
    if (p == std::string::npos) {
        return {};
    }
    const std::size_t c = p + a.size();
    if (c >= source.size()) {
        return {};
    }
    const std::size_t q = b.empty() ? 0 : ref::find_case(source, b, c, ignore_case);
    if (q == std::string::npos || q <= c) {
        return {};
    }
    return source.substr(c, q - c);
}

void check_title(const Bytes& body) {
    const Text title = extract_page_title(body);
    FUZZ_CHECK(title.find('\0') == Text::npos);
    FUZZ_CHECK(ref::valid_cp936(title));
    FUZZ_CHECK(title.find_first_of("\r\n\t\f") == Text::npos);
    FUZZ_CHECK(title.find("  ") == Text::npos);
    FUZZ_CHECK(title.empty() || (title.front() != ' ' && title.back() != ' '));
    if (body.find('<') == Bytes::npos) {
        FUZZ_CHECK(title.empty());
    }
}

} // namespace
} // namespace lorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lorvane;
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    const std::string start_marker = in.text(fuzz::max_marker);
    const std::string end_marker = in.text(fuzz::max_marker);
    const auto start = static_cast<Position>(in.number(static_cast<std::size_t>(fuzz::max_start))) - 2;
    const std::string source = in.rest();

    FUZZ_CHECK(text_between(source, start_marker, end_marker, start, (flags & 1) != 0) ==
               fuzz::between_ref(source, start_marker, end_marker, start, (flags & 1) != 0));
    fuzz::check_title(source);
    return 0;
}
