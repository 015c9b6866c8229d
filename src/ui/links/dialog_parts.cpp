#include "ui/links/dialog_parts.h"

#include "ui/main/look.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace lorvane {

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
