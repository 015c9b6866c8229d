#pragma once

// The history window "浏览历史记录": the records that combine-and-open left in "历史记录", one row
// each, with the buttons that put a record's address back into the main window and remove ticked or
// all records. Its controls keep the names the program has always given them, as member names and
// as object names.

#include <QDialog>

class QPushButton;
class QTableView;

namespace lorvane {

class CheckListModel;
class DataSnapshot;
class MainWindow;

class HistoryWindow : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindow)

public:
    // Builds the controls and runs prepare_history_window(), so the list is filled before the window
    // is shown. The window belongs to `main`, whose edit box a chosen record's address goes into.
    explicit HistoryWindow(MainWindow& main);
    ~HistoryWindow() override;

    // The creation handler: lists the history when the file has a "[历史记录]" header with an "="
    // after it; otherwise the list stays empty.
    void prepare_history_window();

    // Rebuilds the rows from history_keys() and one read of the data file.
    void fill_history_list();
    void fill_history_list(const DataSnapshot& data);

    // "使用选中项": the first selected row's address goes into the main window's 编辑框1 and the
    // window closes once the handler has returned. No selected row, or an empty address, gets a hint.
    void use_selected_record();

    // "删除勾选项": after the warning, the ticked rows' records leave the file in one write and their
    // rows leave the list. A row whose key the file cannot delete stays.
    void remove_ticked_records();

    // "全部删除": after the warning, the whole history section leaves the file and every row the list.
    void remove_all_records();

    // The rows on show, with their keys and tick marks.
    CheckListModel& records() const { return *model_; }

    QTableView* const 历史记录超级列表框;
    QPushButton* const 使用选中项按钮;
    QPushButton* const 删除勾选项按钮;
    QPushButton* const 全部删除按钮;

private:
    void set_up_controls();

    MainWindow& main_;
    CheckListModel* const model_;
};

// Builds the history window over `main`, runs it modally (the main window takes no input while it is
// open) and returns when it has closed.
void open_history_window(MainWindow& main);

} // namespace lorvane
