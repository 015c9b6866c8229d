#include "web/decode_internal.h"
#include "web/web.h"

#include "text/gbk.h"

#include <cstddef>

namespace lorvane {
namespace {

using web_detail::ascii_lower;
using web_detail::is_html_space;

constexpr std::string_view title_tag = "title";
constexpr std::string_view nbsp_utf8 = "\xC2\xA0";

// True when `s` holds the tag name `lower_name` at `at`, in any case, followed by what may end a
// tag name (so "<titles>" is not a title).
bool tag_name_at(std::string_view s, std::size_t at, std::string_view lower_name) {
    if (s.size() - at <= lower_name.size()) {
        return false;
    }
    for (std::size_t k = 0; k < lower_name.size(); ++k) {
        if (ascii_lower(s[at + k]) != lower_name[k]) {
            return false;
        }
    }
    const char next = s[at + lower_name.size()];
    return is_html_space(next) || next == '/' || next == '>';
}

// Position after the ">" that closes the tag whose attributes start at `at`; a ">" inside a quoted
// attribute value does not count. npos when the tag is never closed.
std::size_t end_of_start_tag(std::string_view s, std::size_t at) {
    while (at < s.size()) {
        const char c = s[at++];
        if (c == '>') {
            return at;
        }
        if (c != '=') {
            continue;
        }
        while (at < s.size() && is_html_space(s[at])) {
            ++at;
        }
        if (at < s.size() && (s[at] == '"' || s[at] == '\'')) {
            const std::size_t close = s.find(s[at], at + 1);
            if (close == std::string_view::npos) {
                return std::string_view::npos;
            }
            at = close + 1;
        }
    }
    return std::string_view::npos;
}

// The raw text of the first title element, or nothing when there is none or it is never closed.
std::string_view title_element(std::string_view page) {
    std::size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos) {
        if (!tag_name_at(page, at + 1, title_tag)) {
            ++at;
            continue;
        }
        const std::size_t content = end_of_start_tag(page, at + 1 + title_tag.size());
        if (content == std::string_view::npos) {
            return {};
        }
        // A title holds no markup: it ends at the first "</title", whatever comes between.
        for (std::size_t end = page.find("</", content); end != std::string_view::npos;
             end = page.find("</", end + 2)) {
            if (tag_name_at(page, end + 2, title_tag)) {
                return page.substr(content, end - content);
            }
        }
        return {};
    }
    return {};
}

// Every run of white space, line breaks and no-break spaces included, becomes one space; none is
// left at either end. A title is one line of text in the history.
std::string fold_white_space(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    bool pending_space = false;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t space_length = 0;
        if (is_html_space(utf8[i])) {
            space_length = 1;
        } else if (utf8.substr(i).starts_with(nbsp_utf8)) {
            space_length = nbsp_utf8.size();
        }
        if (space_length > 0) {
            pending_space = !out.empty();
            i += space_length;
            continue;
        }
        if (pending_space) {
            out.push_back(' ');
            pending_space = false;
        }
        out.push_back(utf8[i++]);
    }
    return out;
}

} // namespace

Text text_between(const Text& source, const Text& start_marker, const Text& end_marker, Position start,
                  bool ignore_case) {
    // "#引号" lets callers write a double quote inside a marker.
    const Text quote_placeholder = gbk("#引号");
    const Text start_text = replace_all(start_marker, quote_placeholder, "\"");
    const Text end_text = replace_all(end_marker, quote_placeholder, "\"");
    const Position p = position_of(source, start_text, start, ignore_case);
    if (p == -1) {
        return {};
    }
    const Position c = p + byte_length(start_text);
    const Position q = position_of(source, end_text, c, ignore_case);
    if (q == -1) {
        return {};
    }
    return take_mid(source, c, q - c);
}

Text extract_page_title(const Bytes& body) {
    const std::string page = web_detail::page_to_utf8(body);
    const std::string title = web_detail::decode_character_references(title_element(page));
    return utf8_to_gbk(fold_white_space(title));
}

Text fetch_page_title(const Text& address) {
    return extract_page_title(fetch_page(address));
}

} // namespace lorvane
