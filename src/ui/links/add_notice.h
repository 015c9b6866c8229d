#pragma once

// The notice "添加信息:" that confirms an added link. It closes itself at the first tick of its
// 500 ms timer, or sooner on "确定" or Esc. It has a title bar but no system menu, so no close box.

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace lorvane {

class AddNoticeWindow : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddNoticeWindow)

public:
    // Builds the controls and runs prepare_add_notice(), which starts the timer.
    explicit AddNoticeWindow(QWidget& owner);
    ~AddNoticeWindow() override;

    // The creation handler: the timer runs from here, so the notice lasts 500 ms from its creation.
    void prepare_add_notice();

    QLabel* const 标签1;
    QPushButton* const 按钮1;
    QTimer* const 时钟1;
};

// Shows the notice over `owner` and returns once it has closed. The notice is not modal itself: the
// owner, a modal dialog, keeps taking clicks meanwhile, while whatever the owner blocks (the main
// window) stays blocked.
void show_add_notice(QWidget& owner);

} // namespace lorvane
