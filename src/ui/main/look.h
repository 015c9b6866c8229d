#pragma once

// How every window of the program looks and behaves as a window: the font, the icon, a fixed frame
// centred on the screen, and Esc to close.

#include <QFont>
#include <QSize>

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

} // namespace lorvane
