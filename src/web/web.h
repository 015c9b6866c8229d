#pragma once

// Fetching pages, decoding their bodies, handing addresses to the browser, cutting out titles.

#include "text/text.h"

#include <string>

namespace lorvane {

// A counted byte buffer: a page body exactly as received.
using Bytes = std::string;

// Blocking GET of an http or https address (also after redirects); the body of any response, up to
// 16 MiB, what arrived before a failure part-way, or the empty buffer on any other failure. The
// address is cut at its first "#"; an empty address fetches nothing.
Bytes fetch_page(const Text& address);

// UTF-8 body to GBK text: invalid sequences become U+FFFD (then "?"), characters GBK lacks become
// "?", and the text ends at the first zero.
Text decode_utf8_to_gbk(const Bytes& body);

// Asks the desktop to open the address in the default browser. Fire and forget.
void open_in_browser(const Text& address);

// The text between the first `start_marker` at or after `start` and the next `end_marker` after it,
// or empty text. "#引号" in a marker stands for a double quote.
Text text_between(const Text& source, const Text& start_marker, const Text& end_marker, Position start,
                  bool ignore_case);

// The title of a page body: the text of its first title element (tag name in any case, attributes
// allowed), character references decoded, white space folded to single spaces and trimmed. The body
// is UTF-8 unless a meta element in its first 4 KiB declares GBK, GB2312 or GB18030. Empty text when
// the page has no closed title element.
Text extract_page_title(const Bytes& body);

// The title of the page at `address`, or empty text.
Text fetch_page_title(const Text& address);

} // namespace lorvane
