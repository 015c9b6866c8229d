#pragma once

// Driving real windows in the GUI tests the way a user's desktop does.

#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace lorvane::test {

// Shows `window` and waits until it is the active window.
inline bool show_and_activate(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Clicks `control` through its window, as the window system delivers a click, so that a modal window
// that blocks its window stops the click too.
inline void click_through_window(QWidget& control) {
    QWindow* window = control.window()->windowHandle();
    QVERIFY(window != nullptr);
    const QPoint centre = control.mapTo(control.window(), control.rect().center());
    QTest::mouseClick(window, Qt::LeftButton, {}, centre);
}

} // namespace lorvane::test
