// Removing links: the ticked ones or all of them, each after a warning. Every row keeps the key it
// was listed from, and the ticked keys go in one write, so a row can never stand for another link.

#include "ui/links/link_manager.h"

#include "app/shared_lists.h"
#include "platform/check_list.h"
#include "platform/message_box.h"
#include "store/data_file.h"
#include "store/snapshot.h"
#include "text/gbk.h"

namespace lorvane {

namespace {

// The list shows what was removed; link_names() follows the file.
void relist_links(const DataSnapshot& data) {
    link_names() = data.list_section_keys(section_header(link_section()));
}

} // namespace

void LinkManagerWindow::remove_ticked_links() {
    if (!MessageBox::warning(gbk("该操作将删除所有勾选项,你确定这么做吗?"), gbk("删除选中项操作"))) {
        return;
    }
    const RemovalResult result = delete_entries(link_section(), model_->ticked_keys());
    if (result.written) {
        // A key the file cannot delete (the empty key of a line without "=") keeps its row.
        model_->remove_ticked_rows(result.removed);
    } else {
        report_save_failure();
    }
    // One read of the file serves the listing and the main window's selector.
    const DataSnapshot data = DataSnapshot::load();
    relist_links(data);
    refresh_main_selector(data);
}

void LinkManagerWindow::remove_all_links() {
    if (!MessageBox::warning(gbk("该操作将清空所有选项,你确定这么做吗?"), gbk("危险的清空操作"))) {
        return;
    }
    if (delete_section(link_section())) {
        model_->clear();
    } else {
        report_save_failure();
    }
    // One read of the file serves the listing and the main window's selector.
    const DataSnapshot data = DataSnapshot::load();
    relist_links(data);
    refresh_main_selector(data);
}

} // namespace lorvane
