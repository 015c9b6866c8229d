#include "web/web.h"

#include "platform/http.h"

namespace lorvane {

Bytes fetch_page(const Text& address) {
    // The fragment belongs to the browser and is never sent.
    const Text without_fragment = address.substr(0, address.find('#'));
    if (without_fragment.empty()) {
        return {};
    }
    return http_get(without_fragment);
}

} // namespace lorvane
