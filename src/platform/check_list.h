#pragma once

// The report list with a check box in front of every row, as the link manager and the history
// window show their records. Rows hold GBK texts and convert only the cells that are painted, so
// a history of 100,000 records fills at once.

#include "text/text.h"

#include <QAbstractTableModel>

#include <vector>

class QTableView;

namespace lorvane {

struct CheckListColumn {
    Text title;
    int width = 0; // pixels
};

struct CheckListRow {
    Text key;       // the data-file key the row was built from
    TextList cells; // one text per column; missing cells show empty
};

class CheckListModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListModel)

public:
    explicit CheckListModel(std::vector<CheckListColumn> columns, QObject* parent = nullptr);

    const std::vector<CheckListColumn>& columns() const { return columns_; }

    // Replaces every row at once; all rows start unticked.
    void set_rows(std::vector<CheckListRow> rows);
    void clear();

    int row_count() const { return static_cast<int>(rows_.size()); }
    // Empty text for a row or column out of range.
    Text cell(int row, int column) const;
    Text key(int row) const;

    bool is_ticked(int row) const;
    void set_ticked(int row, bool ticked);
    // Rows whose check box is ticked, in ascending order.
    std::vector<int> ticked_rows() const;
    // The keys of the ticked rows, in the same order.
    TextList ticked_keys() const;
    // Removes the ticked rows whose flag is set; `removed` follows the order of ticked_keys(), as the
    // store's removal reports it. The remaining rows keep their running numbers.
    void remove_ticked_rows(const std::vector<bool>& removed);

    // Removes the rows at these 0-based indices (given in any order; invalid ones are ignored). The
    // remaining rows keep their texts, so their running numbers stay as they were.
    void remove_rows(std::vector<int> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Entry {
        CheckListRow row;
        bool ticked = false;
    };
    bool valid_row(int row) const { return row >= 0 && row < row_count(); }

    std::vector<CheckListColumn> columns_;
    std::vector<Entry> rows_;
};

// Shows `model` in `view` as the program's report lists look: no border, a check box in column 0,
// whole rows selected (several at once) and still shown when the list has no focus, grid lines,
// headers that can be clicked but never sort, no editing in place, no row header, the model's
// fixed column widths with left-aligned titles, black on white, rows of one height.
void setup_check_list(QTableView& view, CheckListModel& model);

// The first selected row (the lowest index), or -1 when no row is selected.
int current_row(const QTableView& view);

} // namespace lorvane
