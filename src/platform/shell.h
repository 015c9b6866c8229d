#pragma once

// The thin layer over the desktop's "open" operation: `xdg-open` hands an address to the default
// browser, as the shell's open verb does on Windows.

#include "text/text.h"

#include <functional>

namespace lorvane {

// Starts `xdg-open` with `address` (GBK, converted to UTF-8) as its one and only argument, directly
// and never through a shell, detached so that the caller waits for nothing and no zombie is left.
// An empty address starts nothing. Every failure is silent.
void open_with_desktop(const Text& address);

// Test-only: hand every following address to `opener` instead of the desktop. An empty function
// restores `xdg-open`.
void set_browser_opener_for_tests(std::function<void(const Text&)> opener);

} // namespace lorvane
