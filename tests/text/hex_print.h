#pragma once

// GBK bytes in test failures: GoogleTest prints std::string as characters, which turns GBK into
// noise. Compare through hex() and a failure shows every byte in hex, followed by the text as UTF-8.

#include "text/gbk.h"
#include "text/text.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane::test {

struct HexText {
    std::string bytes;
    friend bool operator==(const HexText&, const HexText&) = default;
};

inline void PrintTo(const HexText& text, std::ostream* os) {
    *os << '[';
    for (std::size_t i = 0; i < text.bytes.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(text.bytes[i]));
        *os << (i == 0 ? "" : " ") << byte;
    }
    *os << "] \"" << gbk_to_utf8(text.bytes) << '"';
}

inline HexText hex(std::string_view bytes) {
    return HexText{std::string(bytes)};
}

inline std::vector<HexText> hex(const TextList& list) {
    std::vector<HexText> out;
    out.reserve(list.size());
    for (const Text& item : list) {
        out.push_back(hex(item));
    }
    return out;
}

// A list of constant texts written in UTF-8 in the test source, as GBK.
inline TextList gbk_list(std::initializer_list<std::string_view> utf8) {
    TextList out;
    for (std::string_view item : utf8) {
        out.push_back(gbk(item));
    }
    return out;
}

} // namespace lorvane::test
