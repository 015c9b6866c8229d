#include "web/decode_internal.h"

#include "text/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <optional>

namespace lorvane::web_detail {
namespace {

// Browsers look for a charset declaration only near the start of a page.
constexpr std::size_t charset_scan_limit = 4096;
constexpr std::size_t iconv_chunk = 4096;
constexpr unsigned char euro_byte = 0x80;
constexpr std::string_view euro_utf8 = "\xE2\x82\xAC";

enum class PageCharset { utf8, gbk, gb18030 };

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = ascii_lower(c);
    }
    return out;
}

bool starts_with_nocase(std::string_view s, std::size_t at, std::string_view lower_word) {
    if (s.size() - at < lower_word.size()) {
        return false;
    }
    for (std::size_t k = 0; k < lower_word.size(); ++k) {
        if (ascii_lower(s[at + k]) != lower_word[k]) {
            return false;
        }
    }
    return true;
}

std::string_view trim_space(std::string_view s) {
    while (!s.empty() && is_html_space(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && is_html_space(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

void skip_space(std::string_view s, std::size_t& at) {
    while (at < s.size() && is_html_space(s[at])) {
        ++at;
    }
}

// A value after "=": in quotes, up to the closing quote (or the end); else up to white space or
// `stop`. `at` is left after it.
std::string read_value(std::string_view s, std::size_t& at, char stop) {
    skip_space(s, at);
    if (at < s.size() && (s[at] == '"' || s[at] == '\'')) {
        const char quote = s[at++];
        const std::size_t end = std::min(s.find(quote, at), s.size());
        const std::string value(s.substr(at, end - at));
        at = end == s.size() ? end : end + 1;
        return value;
    }
    const std::size_t start = at;
    while (at < s.size() && !is_html_space(s[at]) && s[at] != stop) {
        ++at;
    }
    return std::string(s.substr(start, at - start));
}

struct MetaAttributes {
    std::optional<std::string> charset;
    std::optional<std::string> http_equiv;
    std::optional<std::string> content;
};

// Reads the attributes of a tag from `at` (just after its name) up to its ">"; `at` is left after it.
MetaAttributes read_meta_attributes(std::string_view s, std::size_t& at) {
    MetaAttributes attrs;
    while (at < s.size() && s[at] != '>') {
        if (is_html_space(s[at]) || s[at] == '/') {
            ++at;
            continue;
        }
        const std::size_t name_start = at;
        while (at < s.size() && !is_html_space(s[at]) && s[at] != '=' && s[at] != '>' && s[at] != '/') {
            ++at;
        }
        const std::string name = lower(s.substr(name_start, at - name_start));
        skip_space(s, at);
        std::string value;
        if (at < s.size() && s[at] == '=') {
            ++at;
            value = read_value(s, at, '>');
        }
        if (name == "charset" && !attrs.charset) {
            attrs.charset = value;
        } else if (name == "http-equiv" && !attrs.http_equiv) {
            attrs.http_equiv = value;
        } else if (name == "content" && !attrs.content) {
            attrs.content = value;
        }
    }
    return attrs;
}

// The charset named in a Content-Type value such as "text/html; charset=gb2312".
std::optional<std::string> charset_in_content(std::string_view content) {
    const std::string lowered = lower(content);
    std::size_t at = lowered.find("charset");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    at += std::string_view("charset").size();
    skip_space(content, at);
    if (at >= content.size() || content[at] != '=') {
        return std::nullopt;
    }
    ++at;
    return read_value(content, at, ';');
}

std::optional<std::string> declared_charset(const MetaAttributes& attrs) {
    if (attrs.charset) {
        return attrs.charset;
    }
    if (attrs.http_equiv && attrs.content && lower(trim_space(*attrs.http_equiv)) == "content-type") {
        return charset_in_content(*attrs.content);
    }
    return std::nullopt;
}

// The first meta element in the first 4 KiB that declares a charset decides; comments are skipped.
PageCharset page_charset(std::string_view body) {
    const std::string_view head = body.substr(0, charset_scan_limit);
    std::size_t at = 0;
    while ((at = head.find('<', at)) != std::string_view::npos) {
        if (head.substr(at).starts_with("<!--")) {
            const std::size_t end = head.find("-->", at + 4);
            if (end == std::string_view::npos) {
                break;
            }
            at = end + 3;
            continue;
        }
        const std::size_t after_name = at + 5;
        if (starts_with_nocase(head, at + 1, "meta") &&
            (after_name == head.size() || is_html_space(head[after_name]) || head[after_name] == '/')) {
            at = after_name;
            if (const auto charset = declared_charset(read_meta_attributes(head, at))) {
                const std::string name = lower(trim_space(*charset));
                if (name == "gbk" || name == "gb2312") {
                    return PageCharset::gbk;
                }
                if (name == "gb18030") {
                    return PageCharset::gb18030;
                }
                return PageCharset::utf8;
            }
            continue;
        }
        ++at;
    }
    return PageCharset::utf8;
}

// GB18030 through iconv. Undecodable bytes become U+FFFD one at a time, so an ASCII byte after a
// broken lead byte survives; a lone 0x80 is the euro sign, as in code page 936.
std::string gb18030_to_utf8(std::string_view bytes) {
    const iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    std::string out;
    std::array<char, iconv_chunk> buffer{};
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    while (in_left > 0) {
        char* out_ptr = buffer.data();
        std::size_t out_left = buffer.size();
        const std::size_t rc = iconv(cd, &in, &in_left, &out_ptr, &out_left);
        const int error = errno;
        out.append(buffer.data(), static_cast<std::size_t>(out_ptr - buffer.data()));
        if (rc != static_cast<std::size_t>(-1) || error == E2BIG) {
            continue;
        }
        if (error == EINVAL) {
            // A sequence cut short by the end of the body.
            out.append(replacement_utf8);
            break;
        }
        out.append(static_cast<unsigned char>(*in) == euro_byte ? euro_utf8 : replacement_utf8);
        ++in;
        --in_left;
    }
    iconv_close(cd);
    return out;
}

std::string until_zero(std::string text) {
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        text.resize(zero);
    }
    return text;
}

} // namespace

std::string page_to_utf8(std::string_view body) {
    switch (page_charset(body)) {
    case PageCharset::gbk:
        return until_zero(gbk_to_utf8(body));
    case PageCharset::gb18030:
        return until_zero(gb18030_to_utf8(body));
    case PageCharset::utf8:
        break;
    }
    return valid_utf8_until_zero(body);
}

} // namespace lorvane::web_detail
