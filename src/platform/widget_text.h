#pragma once

// The one crossing between the program's GBK text and the widgets' QString. Every text that goes
// into or comes out of a widget passes through this pair, so no conversion happens by accident.

#include "text/text.h"

#include <QString>

namespace lorvane {

// GBK bytes to a widget string; bytes that are not valid GBK show as U+FFFD.
QString to_qstring(const Text& text);

// A widget string to GBK bytes; characters that GBK lacks become "?".
Text from_qstring(const QString& text);

} // namespace lorvane
