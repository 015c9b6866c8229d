#pragma once

// What the link manager and its add notice share as dialogs: a fixed frame that keeps to its owner
// (no taskbar button of its own), and labels and buttons placed the way the program draws them.

#include <QSize>
#include <QStringView>
#include <Qt>

class QDialog;
class QLabel;
class QPushButton;
class QRect;

namespace lorvane {

// The program's fixed, centred frame with Esc to close, as a dialog of its owner: the window manager
// keeps it above the owner and gives it no taskbar button. `buttons` are the frame's title-bar hints
// (the minimise and close boxes, the system menu) on top of the title bar itself.
void set_up_dialog_frame(QDialog& dialog, QSize client_size, Qt::WindowFlags buttons);

// Left aligned, single line, vertically centred.
void place_label(QLabel& label, QStringView name, QRect place, QStringView caption);
// Never a default button, also not when it has the focus, so Enter presses nothing.
void place_button(QPushButton& button, QStringView name, QRect place, QStringView caption);

} // namespace lorvane
