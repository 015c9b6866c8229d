#include "platform/check_list.h"

#include "platform/widget_text.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <climits>

namespace lorvane {

namespace {

// Removing rows range by range keeps the selection of the other rows; past this many separate
// ranges the moves of the row vector cost more than a reset, so the model is rebuilt in one pass.
constexpr std::size_t max_ranges_removed_in_place = 64;

// Space above and below a row's text, on top of the font's height.
constexpr int row_text_padding = 4;

struct RowRange {
    int first;
    int last;
};

// Sorted, distinct, valid rows grouped into runs of neighbours.
std::vector<RowRange> ranges_of(std::vector<int> rows, int row_count) {
    std::erase_if(rows, [row_count](int row) { return row < 0 || row >= row_count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<RowRange> ranges;
    for (const int row : rows) {
        if (!ranges.empty() && ranges.back().last + 1 == row) {
            ranges.back().last = row;
        } else {
            ranges.push_back({row, row});
        }
    }
    return ranges;
}

} // namespace

CheckListModel::CheckListModel(std::vector<CheckListColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void CheckListModel::set_rows(std::vector<CheckListRow> rows) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(rows.size());
    for (CheckListRow& row : rows) {
        rows_.push_back({std::move(row), false});
    }
    endResetModel();
}

void CheckListModel::clear() {
    set_rows({});
}

Text CheckListModel::cell(int row, int column) const {
    if (!valid_row(row) || column < 0) {
        return {};
    }
    const TextList& cells = rows_[static_cast<std::size_t>(row)].row.cells;
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : Text{};
}

Text CheckListModel::key(int row) const {
    return valid_row(row) ? rows_[static_cast<std::size_t>(row)].row.key : Text{};
}

bool CheckListModel::is_ticked(int row) const {
    return valid_row(row) && rows_[static_cast<std::size_t>(row)].ticked;
}

void CheckListModel::set_ticked(int row, bool ticked) {
    if (!valid_row(row) || rows_[static_cast<std::size_t>(row)].ticked == ticked) {
        return;
    }
    rows_[static_cast<std::size_t>(row)].ticked = ticked;
    const QModelIndex box = index(row, 0);
    emit dataChanged(box, box, {Qt::CheckStateRole});
}

std::vector<int> CheckListModel::ticked_rows() const {
    std::vector<int> ticked;
    for (int row = 0; row < row_count(); ++row) {
        if (rows_[static_cast<std::size_t>(row)].ticked) {
            ticked.push_back(row);
        }
    }
    return ticked;
}

TextList CheckListModel::ticked_keys() const {
    TextList keys;
    for (const Entry& entry : rows_) {
        if (entry.ticked) {
            keys.push_back(entry.row.key);
        }
    }
    return keys;
}

void CheckListModel::remove_ticked_rows(const std::vector<bool>& removed) {
    const std::vector<int> ticked = ticked_rows();
    std::vector<int> rows;
    for (std::size_t i = 0; i < ticked.size() && i < removed.size(); ++i) {
        if (removed[i]) {
            rows.push_back(ticked[i]);
        }
    }
    remove_rows(std::move(rows));
}

void CheckListModel::remove_rows(std::vector<int> rows) {
    const std::vector<RowRange> ranges = ranges_of(std::move(rows), row_count());
    if (ranges.size() <= max_ranges_removed_in_place) {
        // From the last range backwards, so the indices of the ranges still to go stay valid.
        for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
            beginRemoveRows({}, range->first, range->last);
            rows_.erase(rows_.begin() + range->first, rows_.begin() + range->last + 1);
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    std::vector<bool> doomed(rows_.size(), false);
    for (const RowRange& range : ranges) {
        std::fill(doomed.begin() + range.first, doomed.begin() + range.last + 1, true);
    }
    std::size_t row = 0;
    std::erase_if(rows_, [&](const Entry&) { return doomed[row++]; });
    endResetModel();
}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : row_count();
}

int CheckListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !valid_row(index.row())) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return to_qstring(cell(index.row(), index.column()));
    }
    if (role == Qt::CheckStateRole && index.column() == 0) {
        return is_ticked(index.row()) ? Qt::Checked : Qt::Unchecked;
    }
    return {};
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != 0 || !valid_row(index.row())) {
        return false;
    }
    set_ticked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
        return {};
    }
    return to_qstring(columns_[static_cast<std::size_t>(section)].title);
}

void setup_check_list(QTableView& view, CheckListModel& model) {
    view.setModel(&model);
    view.setFrameShape(QFrame::NoFrame);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setShowGrid(true);
    view.setSortingEnabled(false);
    view.setWordWrap(false);
    view.setCornerButtonEnabled(false);

    QHeaderView* header = view.horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setSectionsMovable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    for (std::size_t column = 0; column < model.columns().size(); ++column) {
        header->resizeSection(static_cast<int>(column), model.columns()[column].width);
    }

    // One height for every row, so a long list is laid out without measuring its rows.
    QHeaderView* rows = view.verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view.fontMetrics().height() + row_text_padding);

    QPalette palette = view.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    // The selection stays as visible when the list loses the focus.
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    view.setPalette(palette);
}

int current_row(const QTableView& view) {
    const QItemSelectionModel* selection = view.selectionModel();
    if (selection == nullptr) {
        return -1;
    }
    int first = INT_MAX;
    for (const QItemSelectionRange& range : selection->selection()) {
        first = std::min(first, range.top());
    }
    return first == INT_MAX ? -1 : first;
}

} // namespace lorvane
