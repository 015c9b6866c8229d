#pragma once

// The program's pictures: its icon, and the globe of the toolbar button that opens the history.

#include <QIcon>
#include <QPixmap>

namespace lorvane {

// The icon, rendered at 256, 48, 32, 24 and 16 pixels. Needs a QGuiApplication.
QIcon app_icon();

// A 40 x 20 globe with the word "浏览" drawn into it. Needs a QGuiApplication.
QPixmap browse_picture();

} // namespace lorvane
