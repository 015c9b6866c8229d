#pragma once

// The main window: the address to combine, the link selector, the shortcut grid, the toolbar button
// of the history and the announcement strip. Its controls keep the names the program has always
// given them, as member names and as object names.

#include "text/text.h"

#include <QWidget>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolBar;

namespace lorvane {

class DataSnapshot;

class MainWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // Builds the controls and runs prepare_main_window(), so the window is ready before it is shown.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The creation handler: makes the data folder, fills the selector when the file has links,
    // restores the remembered selection and, last, fetches the announcement.
    void prepare_main_window();

    // Empties 组合框1 and adds the keys of "可选组合链接" in file order; no item is selected after.
    void fill_link_selector();
    void fill_link_selector(const DataSnapshot& data);

    // Selects the item whose index "组合框配置" remembers, clamped to the items there are.
    void restore_link_selection();
    void restore_link_selection(const DataSnapshot& data);

    // The user picked an item: remember its index. Selections made by code do not come here.
    void save_link_selection();

    // The click on 组合打开按钮 ("组合全屏打开"): the chosen link's address followed by the text of
    // 编辑框1 goes to the browser, then the opening is recorded with the pasted page's title.
    void combine_and_open();

    // The text of 透明标签1 from the announcement server; empty when it gives none.
    void show_announcement();
    // A tick of 时钟1: the strip one pixel to the left, back at the right once it has passed.
    void move_marquee();

    // Run by a click on 组合打开按钮1 ("默认链接设置") and by the toolbar's button; until they are set
    // (connect_dialogs) the clicks do nothing.
    std::function<void()> open_link_manager;
    std::function<void()> open_history;

    QLabel* const 标签1;
    QToolBar* const 工具条_网页;
    QAction* const browse_action; // the toolbar's only button (index 0): the history window
    QPlainTextEdit* const 编辑框1;
    QPushButton* const 组合打开按钮;
    QPushButton* const 组合打开按钮1;
    QLabel* const 标签2;
    QLabel* const 标签4;
    QComboBox* const 组合框1;
    QPushButton* const 奇艺按钮1;
    QPushButton* const 腾讯按钮2;
    QPushButton* const 优酷按钮3;
    QPushButton* const 搜狐按钮4;
    QPushButton* const PPTV按钮5;
    QPushButton* const 芒果按钮6;
    QPushButton* const 乐视按钮7;
    QPushButton* const 土豆按钮8;
    QPushButton* const M1905按钮9;
    QPushButton* const 监控安防按钮10;
    QLabel* const 透明标签1;
    QTimer* const 时钟1;

private:
    // The stored name of the selector's current item, byte for byte; empty when none is selected.
    Text chosen_link_name() const;
    void open_history_from_toolbar(QAction* action);

    void set_up_top_row();
    void set_up_selector();
    void set_up_shortcut_grid();
    void set_up_marquee();
    void set_tab_order();
};

// Ties the main window's two dialog buttons to the link manager and the history window, each run
// modally. The program start does this; a main window built alone opens no dialog.
void connect_dialogs(MainWindow& main);

} // namespace lorvane
