#include "web/web.h"

#include "platform/shell.h"

namespace lorvane {

void open_in_browser(const Text& address) {
    open_with_desktop(address);
}

} // namespace lorvane
