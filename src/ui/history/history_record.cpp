#include "ui/history/history_record.h"

#include <optional>

namespace lorvane {

namespace {

// The 0-based offset of the last "|" that begins a character: 0x7C is also a valid second byte of
// a GBK character, which must not split the value.
std::optional<std::size_t> last_bar(const Text& value) {
    std::optional<std::size_t> found;
    std::size_t i = 0;
    while (i < value.size()) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (is_lead_byte(byte)) {
            i += 2; // a lead byte at the very end steps past the end and ends the search
            continue;
        }
        if (byte == '|') {
            found = i;
        }
        ++i;
    }
    return found;
}

} // namespace

HistoryRecord history_record(const Text& key, const Text& value) {
    const std::optional<std::size_t> bar = last_bar(value);
    if (!bar) {
        return {key, {}, value};
    }
    return {key, value.substr(0, *bar), value.substr(*bar + 1)};
}

} // namespace lorvane
