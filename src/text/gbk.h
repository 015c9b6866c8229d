#pragma once

// Conversion between the program's GBK text and UTF-8, through iconv's "CP936" (Windows code page
// 936, in which 0x80 is the euro sign).

#include "text/text.h"

#include <string>
#include <string_view>

namespace lorvane {

// UTF-8 to GBK. Characters that GBK lacks become "?"; invalid UTF-8 bytes become "?" too.
Text utf8_to_gbk(std::string_view utf8);

// GBK to UTF-8. Bytes that are not valid GBK become U+FFFD.
std::string gbk_to_utf8(std::string_view gbk);

// Shorthand for constant texts written in this UTF-8 source: gbk("可选组合链接").
inline Text gbk(std::string_view utf8) {
    return utf8_to_gbk(utf8);
}

} // namespace lorvane
