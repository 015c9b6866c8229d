#pragma once

// The ten shortcut buttons of the main window and the addresses they open, and the host of the
// program's own server, which serves the announcement and the 监控安防 page. Every fixed address of
// the main window is here.

#include "text/text.h"

#include <QStringView>

#include <array>

class QPushButton;

namespace lorvane {

class MainWindow;

// Chosen when the program is built (CMake cache variable LORVANE_ANNOUNCEMENT_HOST).
const Text& announcement_host();

// "https://<announcement host>:442/": the scheme and the port are fixed, only the host is chosen.
Text announcement_server_root();

struct SiteShortcut {
    QPushButton* const MainWindow::*button;
    QStringView name; // object name
    QStringView caption;
    Text address; // handed to the browser as it stands
};

// Row by row, as the buttons stand in the grid and in the tab order.
const std::array<SiteShortcut, 10>& site_shortcuts();

} // namespace lorvane
