#pragma once

// Shared by the fuzz targets: a check that stops the run with a message, a reader that turns the
// fuzzer's bytes into choices, and plain reference versions of the GBK rules the program's helpers
// implement more cleverly. The references step through bytes one by one and share no code with
// src/, so that a fault in the program's stepping shows as a disagreement.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane::fuzz {

[[noreturn]] inline void fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            ::lorvane::fuzz::fail(__FILE__, __LINE__, #condition);                                                     \
        }                                                                                                              \
    } while (false)

// Takes the fuzzer's bytes from the front; once they run out every read gives zeros and empties.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return rest_.empty(); }

    std::uint8_t byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }

    // A number from 0 to `max`, from one or two bytes.
    std::size_t number(std::size_t max) {
        const std::size_t raw = max < 256 ? byte() : (std::size_t{byte()} << 8) | byte();
        return raw % (max + 1);
    }

    // A text whose length is read first (at most `max_length` bytes).
    std::string text(std::size_t max_length) {
        const std::size_t length = number(max_length);
        return take(length);
    }

    std::string take(std::size_t length) {
        const std::size_t n = length < rest_.size() ? length : rest_.size();
        std::string out(rest_.substr(0, n));
        rest_.remove_prefix(n);
        return out;
    }

    std::string rest() { return take(rest_.size()); }

private:
    std::string_view rest_;
};

// Reference GBK rules, byte by byte.
namespace ref {

inline bool lead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// Byte offsets at which a character begins; a lead byte standing last begins one too.
inline std::vector<bool> char_starts(std::string_view s) {
    std::vector<bool> starts(s.size(), false);
    for (std::size_t i = 0; i < s.size(); i += lead(s[i]) ? 2 : 1) {
        starts[i] = true;
    }
    return starts;
}

inline bool last_cut(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        i += lead(s[i]) ? 2 : 1;
    }
    return i > s.size();
}

inline bool blank(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 1 && b <= 32;
}

inline std::string trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && blank(s[b])) {
        ++b;
    }
    while (e > b && blank(s[e - 1])) {
        --e;
    }
    return std::string(s.substr(b, e - b));
}

// First offset at or after `from` where a character begins and `part` stands; npos when none.
inline std::size_t find(std::string_view s, std::string_view part, std::size_t from = 0) {
    if (part.empty()) {
        return std::string_view::npos;
    }
    for (std::size_t i = from; i < s.size(); i += lead(s[i]) ? 2 : 1) {
        if (s.substr(i, part.size()) == part) {
            return i;
        }
    }
    return std::string_view::npos;
}

inline char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `part` at offset `at`: with `ignore_case`, ASCII letters are folded where a character of `part`
// begins; a second byte is compared as it is.
inline bool matches(std::string_view text, std::size_t at, std::string_view part, bool ignore_case) {
    if (at + part.size() > text.size()) {
        return false;
    }
    bool second = false; // part[j] is the second byte of a character of `part`
    for (std::size_t j = 0; j < part.size(); ++j) {
        const char a = text[at + j];
        const char b = part[j];
        if (ignore_case && !second ? lower(a) != lower(b) : a != b) {
            return false;
        }
        second = !second && lead(b);
    }
    return true;
}

// First offset at or after `from` where a character begins and `part` matches; npos when none.
inline std::size_t find_case(std::string_view s, std::string_view part, std::size_t from, bool ignore_case) {
    for (std::size_t i = from; i < s.size(); i += lead(s[i]) ? 2 : 1) {
        if (matches(s, i, part, ignore_case)) {
            return i;
        }
    }
    return std::string_view::npos;
}

// ASCII letters at character starts in lower case; second bytes as they are.
inline std::string fold(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += lead(out[i]) ? 2 : 1) {
        if (out[i] >= 'A' && out[i] <= 'Z') {
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
        }
    }
    return out;
}

struct Line {
    std::string text;
    bool ended = false;
    std::string whole() const { return ended ? text + "\r\n" : text; }
};

// Lines ended by a CR LF that begins a character; a final CR LF starts no empty line.
inline std::vector<Line> lines(std::string_view s) {
    std::vector<Line> out;
    std::size_t begin = 0;
    for (std::size_t at = find(s, "\r\n"); at != std::string_view::npos; at = find(s, "\r\n", begin)) {
        out.push_back({std::string(s.substr(begin, at - begin)), true});
        begin = at + 2;
    }
    if (begin < s.size()) {
        out.push_back({std::string(s.substr(begin)), false});
    }
    return out;
}

// Valid code page 936: ASCII, 0x80 (the euro sign), or a lead byte 81..FE with a second byte
// 40..FE other than 7F.
inline bool valid_cp936(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b <= 0x80) {
            ++i;
            continue;
        }
        if (b == 0xFF || i + 1 >= s.size()) {
            return false;
        }
        const auto t = static_cast<unsigned char>(s[i + 1]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) {
            return false;
        }
        i += 2;
    }
    return true;
}

} // namespace ref

} // namespace lorvane::fuzz
