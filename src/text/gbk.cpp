#include "text/gbk.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace lorvane {

namespace {

constexpr const char* gbk_charset = "CP936";
constexpr const char* utf8_charset = "UTF-8";
constexpr std::string_view replacement_character = "\xEF\xBF\xBD"; // U+FFFD in UTF-8
constexpr char unknown_gbk = '?';

// One conversion descriptor per thread and direction, opened on first use and closed when the
// thread ends: iconv_t keeps shift state and must not be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (usable()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool usable() const { return cd_ != invalid(); }

    // Converts `in`; at a sequence iconv rejects, `on_bad` appends its stand-in to `out` and says
    // how many input bytes (at least one) to pass over. Always ends, whatever the input.
    template <typename OnBad> std::string convert(std::string_view in, OnBad on_bad) {
        std::string out;
        if (!usable()) {
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        constexpr std::size_t slack = 16;
        std::string buffer(in.size() * 2 + slack, '\0');
        char* src = const_cast<char*>(in.data()); // iconv's signature; it does not write the input
        std::size_t src_left = in.size();
        while (src_left > 0) {
            char* dst = buffer.data();
            std::size_t dst_left = buffer.size();
            const std::size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
            const int error = errno;
            out.append(buffer.data(), buffer.size() - dst_left);
            if (rc != static_cast<std::size_t>(-1)) {
                break;
            }
            if (error == E2BIG) {
                continue; // the buffer is emptied into `out`; go on from where iconv stopped
            }
            // EILSEQ (invalid or unconvertible) or EINVAL (incomplete at the end).
            std::size_t skip = on_bad(std::string_view(src, src_left), out);
            skip = std::min(std::max<std::size_t>(skip, 1), src_left);
            src += skip;
            src_left -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t cd_;
};

constexpr bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the front of `s`, or 0 when it is malformed
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t utf8_sequence_length(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    unsigned char second_low = 0x80;
    unsigned char second_high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        second_low = b0 == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        second_high = b0 == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        second_low = b0 == 0xF0 ? 0x90 : 0x80;
        second_high = b0 == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length) {
        return 0;
    }
    const auto b1 = static_cast<unsigned char>(s[1]);
    if (b1 < second_low || b1 > second_high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!is_continuation(static_cast<unsigned char>(s[i]))) {
            return 0;
        }
    }
    return length;
}

// A lead byte 81..FE and a trail byte 40..FE other than 7F: the shape of a two-byte GBK character,
// taken as one unknown character when iconv has no mapping for it (user-defined areas).
bool is_gbk_pair(std::string_view s) {
    if (s.size() < 2) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(s[0]);
    const auto trail = static_cast<unsigned char>(s[1]);
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

} // namespace

Text utf8_to_gbk(std::string_view utf8) {
    thread_local Converter converter(gbk_charset, utf8_charset);
    return converter.convert(utf8, [](std::string_view rest, std::string& out) {
        out.push_back(unknown_gbk);
        // A character GBK lacks becomes one "?"; each malformed byte becomes its own "?".
        const std::size_t length = utf8_sequence_length(rest);
        return length == 0 ? std::size_t{1} : length;
    });
}

std::string gbk_to_utf8(std::string_view gbk) {
    thread_local Converter converter(utf8_charset, gbk_charset);
    return converter.convert(gbk, [](std::string_view rest, std::string& out) {
        out.append(replacement_character);
        return is_gbk_pair(rest) ? std::size_t{2} : std::size_t{1};
    });
}

} // namespace lorvane
