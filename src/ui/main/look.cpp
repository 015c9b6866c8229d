#include "ui/main/look.h"

#include "platform/app_icon.h"

#include <QApplication>
#include <QKeySequence>
#include <QPalette>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace lorvane {

namespace {

constexpr int font_pixel_size = 12;

} // namespace

QFont program_font() {
    QFont font(u"WenQuanYi Micro Hei"_s);
    font.setPixelSize(font_pixel_size);
    return font;
}

void apply_program_look() {
    QApplication::setFont(program_font());
    QApplication::setWindowIcon(app_icon());
}

void set_up_fixed_window(QWidget& window, QSize client_size) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setFixedSize(client_size);

    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window.setPalette(palette);

    // The frame is the window manager's and not known before the window is shown, so it is the
    // client area that is centred; the frame adds a few pixels at the left and top.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window.move(area.x() + (area.width() - client_size.width()) / 2,
                    area.y() + (area.height() - client_size.height()) / 2);
    }

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
}

} // namespace lorvane
