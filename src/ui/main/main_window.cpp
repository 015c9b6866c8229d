#include "ui/main/main_window.h"

#include "platform/app_icon.h"
#include "ui/main/look.h"
#include "ui/main/site_shortcuts.h"
#include "web/web.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace lorvane {

namespace {

// The window was drawn as 704 x 319 pixels with a Windows frame. Here the window manager adds its own
// frame, so the client area is chosen to hold every control with the same 8-pixel margin at the right
// as at the left, and the 20-pixel announcement strip at 264 with a little room below it.
constexpr QSize client_size{696, 288};

constexpr QRect label1_place{16, 0, 96, 24};
constexpr QRect toolbar_place{88, 0, 48, 24};
constexpr QSize browse_picture_size{40, 20};
constexpr QRgb toolbar_background = qRgb(232, 232, 232);
constexpr QRect edit_place{8, 24, 520, 88};
constexpr QRect combine_place{536, 24, 152, 32};
constexpr QRect link_manager_place{536, 73, 152, 32};
constexpr QRect label2_place{8, 112, 144, 40};
constexpr QRect label4_place{392, 112, 88, 40};
constexpr QRect selector_place{490, 122, 198, 20};
// About 140 pixels of list below the field: 16-pixel rows at the 12-pixel font.
constexpr int selector_visible_items = 8;

constexpr QSize shortcut_size{128, 40};
constexpr QPoint shortcut_grid_origin{8, 160};
constexpr int shortcut_column_step = 136; // 128 wide, 8-pixel gap
constexpr int shortcut_row_step = 56;
constexpr int shortcut_columns = 5;

constexpr QRect marquee_place{0, 264, 1880, 20};
constexpr int marquee_period_ms = 20;

// The selector's list items stand one pixel taller than the toolkit draws them.
class TallerItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 1);
    }
};

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent), 标签1(new QLabel(this)), 工具条_网页(new QToolBar(this)),
      browse_action(工具条_网页->addAction(QIcon(browse_picture()), QString())), 编辑框1(new QPlainTextEdit(this)),
      组合打开按钮(new QPushButton(this)), 组合打开按钮1(new QPushButton(this)), 标签2(new QLabel(this)),
      标签4(new QLabel(this)), 组合框1(new QComboBox(this)), 奇艺按钮1(new QPushButton(this)),
      腾讯按钮2(new QPushButton(this)), 优酷按钮3(new QPushButton(this)), 搜狐按钮4(new QPushButton(this)),
      PPTV按钮5(new QPushButton(this)), 芒果按钮6(new QPushButton(this)), 乐视按钮7(new QPushButton(this)),
      土豆按钮8(new QPushButton(this)), M1905按钮9(new QPushButton(this)), 监控安防按钮10(new QPushButton(this)),
      透明标签1(new QLabel(this)), 时钟1(new QTimer(this)) {
    setWindowTitle(u"Lorvane V2020  Quenmoor-作者:Tavrik"_s);
    set_up_fixed_window(*this, client_size);

    set_up_top_row();
    set_up_selector();
    set_up_shortcut_grid();
    set_up_marquee();
    set_tab_order();

    prepare_main_window();
}

MainWindow::~MainWindow() = default;

void MainWindow::set_up_top_row() {
    place_label(*标签1, u"标签1", label1_place, u"被组合链接:");

    工具条_网页->setObjectName(u"工具条_网页"_s);
    工具条_网页->setGeometry(toolbar_place);
    工具条_网页->setMovable(false);
    工具条_网页->setFloatable(false);
    工具条_网页->setIconSize(browse_picture_size);
    工具条_网页->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The 48 x 24 bar has just room for the 40 x 20 picture when the style adds no margins of its own.
    if (QLayout* bar_layout = 工具条_网页->layout()) {
        bar_layout->setContentsMargins(0, 0, 0, 0);
        bar_layout->setSpacing(0);
    }
    工具条_网页->setAutoFillBackground(true);
    QPalette toolbar_palette = 工具条_网页->palette();
    toolbar_palette.setColor(QPalette::Window, QColor(toolbar_background));
    toolbar_palette.setColor(QPalette::Button, QColor(toolbar_background));
    工具条_网页->setPalette(toolbar_palette);
    if (QWidget* button = 工具条_网页->widgetForAction(browse_action)) {
        button->setFocusPolicy(Qt::NoFocus); // not in the tab order
    }
    // The toolbar covers the right end of the label's box.
    工具条_网页->raise();

    编辑框1->setObjectName(u"编辑框1"_s);
    编辑框1->setGeometry(edit_place);
    编辑框1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    编辑框1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    编辑框1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Addresses have no blanks to break at, so a long one breaks anywhere.
    编辑框1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Enter inserts a line break; Tab moves on to the next control.
    编辑框1->setTabChangesFocus(true);

    place_button(*组合打开按钮, u"组合打开按钮", combine_place, u"组合全屏打开");
    place_button(*组合打开按钮1, u"组合打开按钮1", link_manager_place, u"默认链接设置");
    connect(组合打开按钮, &QPushButton::clicked, this, &MainWindow::combine_and_open);
    connect(组合打开按钮1, &QPushButton::clicked, this, [this] {
        if (open_link_manager) {
            open_link_manager();
        }
    });
    connect(工具条_网页, &QToolBar::actionTriggered, this, &MainWindow::open_history_from_toolbar);
}

void MainWindow::open_history_from_toolbar(QAction* action) {
    // The toolbar reports the clicked button by its index; only the first (and only) one opens the
    // history.
    if (工具条_网页->actions().indexOf(action) == 0 && open_history) {
        open_history();
    }
}

void MainWindow::set_up_selector() {
    place_label(*标签4, u"标签4", label4_place, u"默认组合链接:");

    组合框1->setObjectName(u"组合框1"_s);
    组合框1->setGeometry(selector_place);
    组合框1->setEditable(true);
    // Typed text is never added to the list, and nothing completes it from the items.
    组合框1->setInsertPolicy(QComboBox::NoInsert);
    组合框1->setCompleter(nullptr);
    组合框1->setMaxVisibleItems(selector_visible_items);
    组合框1->setItemDelegate(new TallerItemDelegate(组合框1));
    // Only the user's pick raises activated; a selection set by code raises nothing.
    connect(组合框1, &QComboBox::activated, this, &MainWindow::save_link_selection);
}

void MainWindow::set_up_shortcut_grid() {
    place_label(*标签2, u"标签2", label2_place, u"在线影视直达快捷方式:");
    const auto& shortcuts = site_shortcuts();
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        const int column = static_cast<int>(i) % shortcut_columns;
        const int row = static_cast<int>(i) / shortcut_columns;
        const QPoint top_left = shortcut_grid_origin + QPoint(column * shortcut_column_step, row * shortcut_row_step);
        QPushButton* button = this->*shortcuts[i].button;
        place_button(*button, shortcuts[i].name, QRect(top_left, shortcut_size), shortcuts[i].caption);
        // A shortcut only opens its address: no control, no entry of the data file is touched.
        connect(button, &QPushButton::clicked, this, [address = shortcuts[i].address] { open_in_browser(address); });
    }
}

void MainWindow::set_up_marquee() {
    place_label(*透明标签1, u"透明标签1", marquee_place, u"透明标签");
    // The server's text is shown as it stands, never as markup.
    透明标签1->setTextFormat(Qt::PlainText);
    // Only the text is painted; the window shows through around it. Moving the label repaints what
    // it leaves and what it covers, so it leaves no trail.
    透明标签1->setAutoFillBackground(false);
    QPalette palette = 透明标签1->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    透明标签1->setPalette(palette);

    时钟1->setObjectName(u"时钟1"_s);
    时钟1->setInterval(marquee_period_ms);
    connect(时钟1, &QTimer::timeout, this, &MainWindow::move_marquee);
    时钟1->start();
}

void MainWindow::set_tab_order() {
    QWidget* previous = 编辑框1;
    const auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(组合打开按钮);
    chain(组合框1);
    chain(组合打开按钮1);
    for (const SiteShortcut& shortcut : site_shortcuts()) {
        chain(this->*shortcut.button);
    }
}

} // namespace lorvane
