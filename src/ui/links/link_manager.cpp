// The link manager window, its list of stored links and the click that copies a row into the edit
// boxes. Adding and removing links live in link_adding.cpp and link_removal.cpp.

#include "ui/links/link_manager.h"

#include "app/shared_lists.h"
#include "platform/check_list.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/snapshot.h"
#include "text/gbk.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

#include <functional>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace lorvane {

namespace {

// The window was drawn as 479 x 412 pixels with a Windows frame; this client area holds the list at
// 8, 120 (456 x 256) with the same 8-pixel margin at the right and the bottom as at the left.
constexpr QSize client_size{472, 384};

constexpr QRect name_label_place{8, 8, 64, 24};
constexpr QRect name_edit_place{72, 8, 384, 24};
constexpr QRect address_label_place{8, 56, 64, 24};
constexpr QRect address_edit_place{72, 56, 384, 24};
constexpr QRect add_place{16, 88, 96, 24};
constexpr QRect add_more_place{128, 88, 96, 24};
constexpr QRect remove_ticked_place{240, 88, 96, 24};
constexpr QRect remove_all_place{352, 88, 96, 24};
constexpr QRect list_place{8, 120, 456, 256};

constexpr int number_column_width = 50;
constexpr int name_column_width = 150;
constexpr int address_column_width = 239;
constexpr int name_column = 1;
constexpr int address_column = 2;

std::vector<CheckListColumn> link_columns() {
    return {{gbk("序号"), number_column_width}, {gbk("名称"), name_column_width}, {gbk("地址"), address_column_width}};
}

// Reports every left click, once the view has handled it: a press selects the row under it (or
// clears the selection on empty space) and the release ticks a check box, so the selection the
// handler reads is the one the click left behind.
class LinkListView : public QTableView {
public:
    explicit LinkListView(QWidget* parent) : QTableView(parent) {}

    std::function<void()> on_left_click;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTableView::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && on_left_click) {
            on_left_click();
        }
    }
};

} // namespace

LinkManagerWindow::LinkManagerWindow(MainWindow& main)
    : QDialog(&main), 标签1(new QLabel(this)), 编辑框1(new QLineEdit(this)), 标签2(new QLabel(this)),
      编辑框2(new QLineEdit(this)), 添加按钮(new QPushButton(this)), 连续添加按钮(new QPushButton(this)),
      删除选中按钮(new QPushButton(this)), 全部清空按钮(new QPushButton(this)), 超级列表框1(new LinkListView(this)),
      main_(main), model_(new CheckListModel(link_columns(), this)) {
    setObjectName(u"添加可选链接"_s);
    setWindowTitle(u"添加可选链接"_s);
    set_up_dialog_frame(*this, client_size,
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    set_up_controls();
    set_tab_order();

    prepare_link_manager();
}

LinkManagerWindow::~LinkManagerWindow() = default;

void LinkManagerWindow::set_up_controls() {
    place_label(*标签1, u"标签1", name_label_place, u"显示名称:");
    编辑框1->setObjectName(u"编辑框1"_s);
    编辑框1->setGeometry(name_edit_place);
    place_label(*标签2, u"标签2", address_label_place, u"链接地址:");
    编辑框2->setObjectName(u"编辑框2"_s);
    编辑框2->setGeometry(address_edit_place);

    place_button(*添加按钮, u"添加按钮", add_place, u"添加");
    place_button(*连续添加按钮, u"连续添加按钮", add_more_place, u"连续添加");
    place_button(*删除选中按钮, u"删除选中按钮", remove_ticked_place, u"删除选中");
    place_button(*全部清空按钮, u"全部清空按钮", remove_all_place, u"全部清空");
    connect(添加按钮, &QPushButton::clicked, this, [this] { add_link(true); });
    connect(连续添加按钮, &QPushButton::clicked, this, [this] { add_link(false); });
    connect(删除选中按钮, &QPushButton::clicked, this, &LinkManagerWindow::remove_ticked_links);
    connect(全部清空按钮, &QPushButton::clicked, this, &LinkManagerWindow::remove_all_links);

    超级列表框1->setObjectName(u"超级列表框1"_s);
    超级列表框1->setGeometry(list_place);
    setup_check_list(*超级列表框1, *model_);
    // Tab leaves the list for the buttons instead of walking its cells.
    超级列表框1->setTabKeyNavigation(false);
    static_cast<LinkListView*>(超级列表框1)->on_left_click = [this] { copy_row_to_edit_boxes(); };
}

void LinkManagerWindow::set_tab_order() {
    QWidget* previous = 编辑框1;
    for (QWidget* next : {static_cast<QWidget*>(编辑框2), static_cast<QWidget*>(超级列表框1),
                          static_cast<QWidget*>(添加按钮), static_cast<QWidget*>(连续添加按钮),
                          static_cast<QWidget*>(删除选中按钮), static_cast<QWidget*>(全部清空按钮)}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void LinkManagerWindow::prepare_link_manager() {
    const DataSnapshot data = DataSnapshot::load();
    // A header without any "=" after it has nothing to list; the list stays empty.
    if (!section_present_with_entries(data.text(), link_section())) {
        return;
    }
    link_names() = data.list_section_keys(section_header(link_section()));
    fill_link_list(data);
}

void LinkManagerWindow::fill_link_list() {
    fill_link_list(DataSnapshot::load());
}

void LinkManagerWindow::fill_link_list(const DataSnapshot& data) {
    // Every listed name gets its row, also after a name whose value is empty: otherwise one empty
    // address would hide every link, and with them the way to remove it.
    const TextList& names = link_names();
    std::vector<CheckListRow> rows;
    rows.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Text& name = names[i];
        rows.push_back(
            {name, {format_integer(static_cast<std::int64_t>(i) + 1), name, data.read_entry(link_section(), name)}});
    }
    model_->set_rows(std::move(rows));
}

void LinkManagerWindow::copy_row_to_edit_boxes() {
    const int row = current_row(*超级列表框1);
    编辑框1->setText(to_qstring(model_->cell(row, name_column)));
    编辑框2->setText(to_qstring(model_->cell(row, address_column)));
}

void LinkManagerWindow::refresh_main_selector() {
    refresh_main_selector(DataSnapshot::load());
}

void LinkManagerWindow::refresh_main_selector(const DataSnapshot& data) {
    main_.fill_link_selector(data);
    main_.restore_link_selection(data);
}

void open_link_manager_window(MainWindow& main) {
    LinkManagerWindow manager(main);
    manager.exec();
}

} // namespace lorvane
