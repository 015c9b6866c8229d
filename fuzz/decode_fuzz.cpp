// decode_utf8_to_gbk over any body: the text never holds a zero byte, is valid code page 936 (every
// lead byte has its second byte), is no longer than the body, survives GBK -> UTF-8 -> GBK, keeps
// ASCII as it is, and turns each character of valid UTF-8 into itself or "?".

#include "fuzz_support.h"

#include "text/gbk.h"
#include "web/web.h"

#include <optional>

namespace lorvane::fuzz {
namespace {

// The code points of well-formed UTF-8 up to the first zero, or nothing when it is not well formed.
std::optional<std::vector<char32_t>> code_points(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == 0) {
            break;
        }
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xC2 && b <= 0xDF ? 2
                             : b >= 0xE0 && b <= 0xEF ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
        if (length == 0 || i + length > s.size()) {
            return std::nullopt;
        }
        char32_t cp = length == 1 ? b : b & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                return std::nullopt;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        constexpr char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < shortest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return std::nullopt;
        }
        out.push_back(cp);
        i += length;
    }
    return out;
}

} // namespace
} // namespace lorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lorvane;
    const Bytes body(reinterpret_cast<const char*>(data), size);
    const Text text = decode_utf8_to_gbk(body);

    FUZZ_CHECK(text.find('\0') == Text::npos);
    FUZZ_CHECK(fuzz::ref::valid_cp936(text));
    FUZZ_CHECK(text.size() <= body.size());
    const std::string utf8 = gbk_to_utf8(text);
    FUZZ_CHECK(utf8_to_gbk(utf8) == text);

    const std::string until_zero = body.substr(0, body.find('\0'));
    bool ascii = true;
    for (const char c : until_zero) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        FUZZ_CHECK(text == until_zero);
    }
    // Valid UTF-8: one character out for each character in, itself or "?".
    if (const auto in = fuzz::code_points(body)) {
        const auto out = fuzz::code_points(utf8);
        FUZZ_CHECK(out && out->size() == in->size());
        for (std::size_t i = 0; i < in->size(); ++i) {
            FUZZ_CHECK((*out)[i] == (*in)[i] || (*out)[i] == U'?');
        }
    }
    return 0;
}
