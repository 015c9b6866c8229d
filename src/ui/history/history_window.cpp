// The history window as a window: its controls at their places, the list's columns, and the modal
// run from the main window.

#include "ui/history/history_window.h"

#include "platform/check_list.h"
#include "text/gbk.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QPushButton>
#include <QTableView>

using namespace Qt::Literals::StringLiterals;

namespace lorvane {

namespace {

// The window was drawn as 665 x 436 pixels with a Windows frame. Here the window manager adds its own
// frame, so the client area is chosen to hold the 660-pixel list and the buttons below it with an
// 8-pixel margin under them.
constexpr QSize client_size{660, 408};

constexpr QRect list_place{0, 0, 660, 360};
constexpr QRect use_place{96, 368, 80, 32};
constexpr QRect remove_ticked_place{288, 368, 80, 32};
constexpr QRect remove_all_place{472, 368, 80, 32};

constexpr int number_width = 50;
constexpr int date_width = 150;
constexpr int title_width = 239;
constexpr int address_width = 200;

std::vector<CheckListColumn> history_columns() {
    return {{gbk("序号"), number_width},
            {gbk("浏览日期"), date_width},
            {gbk("网页标题"), title_width},
            {gbk("页面地址"), address_width}};
}

} // namespace

HistoryWindow::HistoryWindow(MainWindow& main)
    : QDialog(&main), 历史记录超级列表框(new QTableView(this)), 使用选中项按钮(new QPushButton(this)),
      删除勾选项按钮(new QPushButton(this)), 全部删除按钮(new QPushButton(this)), main_(main),
      model_(new CheckListModel(history_columns(), this)) {
    setWindowTitle(u"浏览历史记录"_s);
    set_up_dialog_frame(*this, client_size,
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    set_up_controls();

    prepare_history_window();
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::set_up_controls() {
    历史记录超级列表框->setObjectName(u"历史记录超级列表框"_s);
    历史记录超级列表框->setGeometry(list_place);
    setup_check_list(*历史记录超级列表框, *model_);
    // Tab leaves the list for the buttons instead of stepping through its cells.
    历史记录超级列表框->setTabKeyNavigation(false);

    place_button(*使用选中项按钮, u"使用选中项按钮", use_place, u"使用选中项");
    place_button(*删除勾选项按钮, u"删除勾选项按钮", remove_ticked_place, u"删除勾选项");
    place_button(*全部删除按钮, u"全部删除按钮", remove_all_place, u"全部删除");
    connect(使用选中项按钮, &QPushButton::clicked, this, &HistoryWindow::use_selected_record);
    connect(删除勾选项按钮, &QPushButton::clicked, this, &HistoryWindow::remove_ticked_records);
    connect(全部删除按钮, &QPushButton::clicked, this, &HistoryWindow::remove_all_records);

    setTabOrder(历史记录超级列表框, 使用选中项按钮);
    setTabOrder(使用选中项按钮, 删除勾选项按钮);
    setTabOrder(删除勾选项按钮, 全部删除按钮);
}

void open_history_window(MainWindow& main) {
    HistoryWindow window(main);
    // Modal for the whole program, as every dialog of it is: the main window takes no input until
    // the history window has closed.
    window.setWindowModality(Qt::ApplicationModal);
    window.exec();
}

} // namespace lorvane
