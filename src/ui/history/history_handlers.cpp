// The history window's handlers: listing the records, putting one back into the main window, and
// removing ticked or all records.

#include "ui/history/history_window.h"

#include "app/shared_lists.h"
#include "platform/check_list.h"
#include "platform/message_box.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/snapshot.h"
#include "text/gbk.h"
#include "ui/history/history_record.h"
#include "ui/main/main_window.h"

#include <QPlainTextEdit>
#include <QTimer>

#include <string_view>

namespace lorvane {

namespace {

constexpr int address_column = 3;

constexpr std::string_view nothing_selected_hint = "鼠标点击需要选择的那一行即可,无需勾选,勾选是用于批量删除使用!";
constexpr std::string_view nothing_selected_title = "提示:未选中任何一行!";
constexpr std::string_view remove_ticked_question = "该操作将删除所有勾选项,你确定这么做吗?";
constexpr std::string_view remove_ticked_title = "删除选中项操作";
constexpr std::string_view remove_all_question = "该操作将清空所有选项,你确定这么做吗?";
constexpr std::string_view remove_all_title = "危险的清空操作";
constexpr std::string_view save_failed = "保存失败,请检查Data文件夹下的URL.ini是否可写!";

} // namespace

void HistoryWindow::prepare_history_window() {
    // One read serves the presence test, the key listing and every record's value.
    const DataSnapshot data = DataSnapshot::load();
    if (!section_present_with_entries(data.text(), history_section())) {
        history_keys().clear();
        model_->clear();
        return;
    }
    history_keys() = data.list_section_keys(section_header(history_section()));
    fill_history_list(data);
}

void HistoryWindow::fill_history_list() {
    fill_history_list(DataSnapshot::load());
}

void HistoryWindow::fill_history_list(const DataSnapshot& data) {
    const TextList& keys = history_keys();
    std::vector<CheckListRow> rows;
    rows.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        HistoryRecord record = history_record(keys[i], data.read_entry(history_section(), keys[i]));
        rows.push_back({keys[i],
                        {format_integer(static_cast<std::int64_t>(i) + 1), std::move(record.browse_date),
                         std::move(record.title), std::move(record.address)}});
    }
    model_->set_rows(std::move(rows));
}

void HistoryWindow::use_selected_record() {
    // Only a selected row counts; a tick mark is for removal.
    const Text address = model_->cell(current_row(*历史记录超级列表框), address_column);
    if (address.empty()) {
        MessageBox::information(gbk(nothing_selected_hint), gbk(nothing_selected_title));
        return;
    }
    // The address goes back as it was stored, "%7C" included: a browser reads it as "|".
    main_.编辑框1->setPlainText(to_qstring(address));
    // The window closes once this handler has returned.
    QTimer::singleShot(0, this, &QDialog::accept);
}

void HistoryWindow::remove_ticked_records() {
    if (!MessageBox::warning(gbk(remove_ticked_question), gbk(remove_ticked_title))) {
        return;
    }
    // Each row carries its own key, so a line the file cannot delete (one without "=" lists as an
    // empty key) keeps its row and takes no other record with it.
    const RemovalResult result = delete_entries(history_section(), model_->ticked_keys());
    if (!result.written) {
        MessageBox::information(gbk(save_failed));
        return;
    }
    // The remaining rows keep their running numbers until the window opens again.
    model_->remove_ticked_rows(result.removed);

    TextList& listed = history_keys();
    listed.clear();
    listed.reserve(static_cast<std::size_t>(model_->row_count()));
    for (int row = 0; row < model_->row_count(); ++row) {
        listed.push_back(model_->key(row));
    }
}

void HistoryWindow::remove_all_records() {
    if (!MessageBox::warning(gbk(remove_all_question), gbk(remove_all_title))) {
        return;
    }
    if (!delete_section(history_section())) {
        MessageBox::information(gbk(save_failed));
        return;
    }
    model_->clear();
    history_keys().clear();
}

} // namespace lorvane
