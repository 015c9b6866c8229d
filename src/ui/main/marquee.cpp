#include "ui/main/marquee.h"

#include "platform/widget_text.h"
#include "ui/main/main_window.h"
#include "ui/main/site_shortcuts.h"
#include "web/web.h"

#include <QLabel>

namespace lorvane {

namespace {

constexpr std::string_view announcement_path = "rjsm.php";

Text& test_endpoint() {
    static Text address;
    return address;
}

} // namespace

Text announcement_endpoint() {
    if (!test_endpoint().empty()) {
        return test_endpoint();
    }
    return announcement_server_root() + Text(announcement_path);
}

void set_announcement_endpoint_for_tests(const Text& address) {
    test_endpoint() = address;
}

QString marquee_text(const Text& announcement) {
    QString text = to_qstring(announcement);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

void MainWindow::show_announcement() {
    // Any answer counts, whatever its status; an empty or failed one leaves the strip empty.
    透明标签1->setText(marquee_text(decode_utf8_to_gbk(fetch_page(announcement_endpoint()))));
}

void MainWindow::move_marquee() {
    透明标签1->move(透明标签1->x() - 1, 透明标签1->y());
    // Once its right edge has reached the window's left edge, the strip comes in again from the right.
    // The outer width is read at each reset: the frame is the window manager's and known only once the
    // window is on screen.
    if (透明标签1->x() == -透明标签1->width()) {
        透明标签1->move(frameGeometry().width(), 透明标签1->y());
    }
}

} // namespace lorvane
