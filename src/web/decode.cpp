#include "web/decode_internal.h"
#include "web/web.h"

#include "text/gbk.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace lorvane {
namespace web_detail {
namespace {

struct ByteRange {
    unsigned char low;
    unsigned char high;
};

constexpr ByteRange continuation{0x80, 0xBF};

// Length of the sequence a lead byte starts, or 0 for a byte that cannot start one (a continuation
// byte, C0 and C1 which could only start overlong forms, F5 to FF which would go beyond U+10FFFF).
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// The second byte's range narrows after some lead bytes, which rules out overlong three- and
// four-byte forms (E0, F0), surrogates (ED) and code points above U+10FFFF (F4).
ByteRange second_byte_range(unsigned char lead) {
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return continuation;
    }
}

} // namespace

std::string valid_utf8_until_zero(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead == 0) {
            break;
        }
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        const std::size_t length = sequence_length(lead);
        if (length == 0) {
            out.append(replacement_utf8);
            ++i;
            continue;
        }
        // Take continuation bytes while they fit; the first one that does not starts afresh.
        std::size_t taken = 1;
        while (taken < length && i + taken < bytes.size()) {
            const auto c = static_cast<unsigned char>(bytes[i + taken]);
            const ByteRange range = taken == 1 ? second_byte_range(lead) : continuation;
            if (c < range.low || c > range.high) {
                break;
            }
            ++taken;
        }
        if (taken == length) {
            out.append(bytes.substr(i, length));
        } else {
            out.append(replacement_utf8);
        }
        i += taken;
    }
    return out;
}

void append_utf8(std::string& out, char32_t code_point) {
    const auto cp = static_cast<std::uint32_t>(code_point);
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace web_detail

Text decode_utf8_to_gbk(const Bytes& body) {
    if (body.empty()) {
        return {};
    }
    // U+FFFD has no GBK form, so each undecodable sequence ends up as one "?".
    return utf8_to_gbk(web_detail::valid_utf8_until_zero(body));
}

} // namespace lorvane
