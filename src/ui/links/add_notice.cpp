#include "ui/links/add_notice.h"

#include "ui/main/look.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace lorvane {

namespace {

// The notice was drawn as 156 x 102 pixels with a Windows frame; this client area holds its label and
// button with the same margins.
constexpr QSize client_size{148, 71};
constexpr QRect label_place{48, 8, 80, 24};
constexpr QRect button_place{48, 40, 64, 24};
constexpr int notice_period_ms = 500;

} // namespace

AddNoticeWindow::AddNoticeWindow(QWidget& owner)
    : QDialog(&owner), 标签1(new QLabel(this)), 按钮1(new QPushButton(this)), 时钟1(new QTimer(this)) {
    setObjectName(u"添加信息"_s);
    setWindowTitle(u"添加信息:"_s);
    // No system menu: the title bar carries no close box either.
    set_up_dialog_frame(*this, client_size, {});

    place_label(*标签1, u"标签1", label_place, u"添加成功!");
    place_button(*按钮1, u"按钮1", button_place, u"确定");
    时钟1->setObjectName(u"时钟1"_s);

    connect(按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(时钟1, &QTimer::timeout, this, &QWidget::close);
    // Closed by the button or Esc before the tick, the notice must not tick later.
    connect(this, &QDialog::finished, 时钟1, &QTimer::stop);

    prepare_add_notice();
}

AddNoticeWindow::~AddNoticeWindow() = default;

void AddNoticeWindow::prepare_add_notice() {
    时钟1->start(notice_period_ms);
}

void show_add_notice(QWidget& owner) {
    AddNoticeWindow notice(owner);
    // Run as a modal exec() the notice would block its owner too; shown plainly and waited for, it
    // blocks only what the owner blocks already.
    QEventLoop wait;
    QObject::connect(&notice, &QDialog::finished, &wait, &QEventLoop::quit);
    notice.show();
    wait.exec(QEventLoop::DialogExec);
}

} // namespace lorvane
