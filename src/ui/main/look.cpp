#include "ui/main/look.h"

#include "platform/app_icon.h"

#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
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

void set_up_dialog_frame(QDialog& dialog, QSize client_size, Qt::WindowFlags buttons) {
    set_up_fixed_window(dialog, client_size);
    // A plain window type would get no WM_TRANSIENT_FOR under X11 and so a taskbar button of its
    // own; the dialog type keeps it with its owner.
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | buttons);
}

void place_label(QLabel& label, QStringView name, QRect place, QStringView caption) {
    label.setObjectName(name.toString());
    label.setGeometry(place);
    label.setText(caption.toString());
    label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label.setWordWrap(false);
}

void place_button(QPushButton& button, QStringView name, QRect place, QStringView caption) {
    button.setObjectName(name.toString());
    button.setGeometry(place);
    button.setText(caption.toString());
    // Buttons in a dialog are auto-default unless told otherwise.
    button.setAutoDefault(false);
    button.setDefault(false);
}

} // namespace lorvane
