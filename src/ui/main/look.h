#pragma once

// How every window of the program looks and behaves as a window: the font, the icon, a fixed frame
// centred on the screen, and Esc to close.

#include <QFont>
#include <QSize>
#include <QStringView>
#include <Qt>

class QDialog;
class QLabel;
class QPushButton;
class QRect;
class QWidget;

namespace lorvane {

// The program's GUI font: a CJK face at 12 pixels, the size the window layouts were drawn for.
QFont program_font();

// Sets the program's font and icon on the running QApplication, so every window carries them.
void apply_program_look();

// Makes `window` a fixed, non-resizable window of `client_size` with a minimise box and a close box
// but no maximise box, on the button-face colour, centred on the primary screen; Esc without Ctrl,
// Shift or Alt closes it, also from an edit box.
void set_up_fixed_window(QWidget& window, QSize client_size);

// The same fixed, centred frame with Esc to close, as a dialog of its owner: the window manager keeps
// it above the owner and gives it no taskbar button. `buttons` are the frame's title-bar hints (the
// minimise and close boxes, the system menu) on top of the title bar itself.
void set_up_dialog_frame(QDialog& dialog, QSize client_size, Qt::WindowFlags buttons);

// Left aligned, single line, vertically centred.
void place_label(QLabel& label, QStringView name, QRect place, QStringView caption);
// Never a default button, also not when it has the focus, so Enter presses nothing.
void place_button(QPushButton& button, QStringView name, QRect place, QStringView caption);

} // namespace lorvane
