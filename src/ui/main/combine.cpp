// Combine and open: the chosen link's address followed by the pasted address goes to the browser,
// and the opening is recorded with the pasted page's title.

#include "ui/main/combine.h"

#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/snapshot.h"
#include "text/gbk.h"
#include "ui/main/main_window.h"
#include "web/web.h"

#include <QPlainTextEdit>

namespace lorvane {

bool record_history(const Text& stamp, const Text& title, const Text& address) {
    Text value = title;
    // A title cut inside a two-byte character would take the separator as its second byte.
    if (last_character_cut(value)) {
        value.pop_back();
    }
    value += "|" + replace_all(address, "|", "%7C");
    return write_entry(history_section(), stamp, value);
}

void MainWindow::combine_and_open() {
    // One read of the file serves the selector, the chosen name and its address.
    const DataSnapshot data = DataSnapshot::load();
    fill_link_selector(data);
    restore_link_selection(data);
    const Text name = chosen_link_name();
    // Exactly what the edit box holds, line breaks (LF) included; nothing is trimmed.
    const Text target = from_qstring(编辑框1->toPlainText());
    if (name.empty() || target.empty()) {
        MessageBox::information(gbk("没有可供组合的链接!"));
        return;
    }
    const Text prefix = data.read_entry(link_section(), name);

    // The browser goes first: a slow page delays only the record, never the opening.
    open_in_browser(prefix + target);
    const Text stamp = format_timestamp(current_time());
    const Text title = fetch_page_title(target);
    if (!record_history(stamp, title, target)) {
        MessageBox::information(gbk("浏览记录保存失败,请检查Data文件夹是否可写!"));
    }
}

} // namespace lorvane
