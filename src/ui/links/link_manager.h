#pragma once

// The link manager "添加可选链接": the stored combination links in a list with check boxes, two edit
// boxes to add one, and the buttons that add and remove them. It opens modally from the main window
// and refreshes the main window's selector after every change. Its controls keep the names the
// program has always given them, as member names and as object names.

#include "text/text.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace lorvane {

class CheckListModel;
class DataSnapshot;
class MainWindow;

class LinkManagerWindow : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkManagerWindow)

public:
    // Builds the controls and runs prepare_link_manager(), so the list is filled before it is shown.
    explicit LinkManagerWindow(MainWindow& main);
    ~LinkManagerWindow() override;

    // The creation handler: lists the links when the file has a link section with entries.
    void prepare_link_manager();

    // Rebuilds the rows from link_names() and the values in the data file; each row keeps its key.
    void fill_link_list();
    void fill_link_list(const DataSnapshot& data);

    // A left click anywhere in the list: the first selected row's name and address into the edit
    // boxes, both emptied when no row is selected.
    void copy_row_to_edit_boxes();

    // "添加" (close_after) and "连续添加": checks the two edit boxes against the data file, asks where
    // the name or address exists already, stores the link and confirms it with the add notice.
    void add_link(bool close_after);

    // "删除选中" and "全部清空": ask first, then remove the ticked links or every link.
    void remove_ticked_links();
    void remove_all_links();

    CheckListModel& list_model() const { return *model_; }

    QLabel* const 标签1;
    QLineEdit* const 编辑框1;
    QLabel* const 标签2;
    QLineEdit* const 编辑框2;
    QPushButton* const 添加按钮;
    QPushButton* const 连续添加按钮;
    QPushButton* const 删除选中按钮;
    QPushButton* const 全部清空按钮;
    QTableView* const 超级列表框1;

private:
    void set_up_controls();
    void set_tab_order();
    // Store: writes the link, relists it and confirms it; true when it reached the file.
    bool store_link(const Text& name, const Text& address);
    // The box that tells a write to the data file failed.
    static void report_save_failure();
    // The main window's selector shows the links now stored, at the remembered index.
    void refresh_main_selector();
    void refresh_main_selector(const DataSnapshot& data);

    MainWindow& main_;
    CheckListModel* const model_;
};

// The click on "默认链接设置": builds the link manager over `main`, runs it modally (the main window
// takes no input meanwhile) and returns when it has closed.
void open_link_manager_window(MainWindow& main);

} // namespace lorvane
