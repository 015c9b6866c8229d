// Adding a link: the display name in 编辑框1 and the address in 编辑框2 become an entry of
// "可选组合链接". Both are checked against the whole data file first, and the user is asked before a
// name or an address that occurs there already is stored.

#include "ui/links/link_manager.h"

#include "app/shared_lists.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/snapshot.h"
#include "text/gbk.h"
#include "ui/links/add_notice.h"

#include <QLineEdit>
#include <QTimer>

namespace lorvane {

namespace {

bool occurs_in(const Text& text, const Text& part) {
    return position_of(text, part) != -1;
}

// Case counts: "HTTP://" is no web address to this program.
bool has_web_scheme(const Text& address) {
    return address.starts_with("http://") || address.starts_with("https://");
}

bool has_line_break(const Text& text) {
    return text.find_first_of("\r\n") != Text::npos;
}

// The file holds a name only as a key: a name it cannot hold would be cut at its "=", split over two
// lines, or read back as a section header.
bool is_storable_name(const Text& name) {
    return profile::is_valid_key(name);
}

void inform(const char* utf8) {
    MessageBox::information(gbk(utf8));
}

// The checks in the order the program has always made them, with the two checks of what the file
// cannot hold right after the empty boxes. "添加" tests the beginning of the address before asking
// about a duplicate address; "连续添加" asks first and stores a duplicate whatever its beginning.
// True when the link is to be stored.
bool accept_link(const Text& name, const Text& address, const Text& text, bool close_after) {
    const bool name_exists = occurs_in(text, name);
    const bool address_exists = occurs_in(text, address);
    if (!name.empty() && !address.empty() && is_storable_name(name) && !has_line_break(address) && !address_exists &&
        !name_exists && has_web_scheme(address)) {
        return true;
    }
    if (name.empty()) {
        inform("显示名称不能为空!");
        return false;
    }
    if (address.empty()) {
        inform("链接地址不能为空!");
        return false;
    }
    if (!is_storable_name(name)) {
        inform("显示名称不能以[开头,也不能包含=或换行!");
        return false;
    }
    if (has_line_break(address)) {
        inform("链接地址不能包含换行!");
        return false;
    }
    if (name_exists) {
        // The beginning of the address is not examined on this path.
        return MessageBox::question(gbk("显示名称已存在!是否替换链接内容?"));
    }
    if (close_after && !has_web_scheme(address)) {
        inform("链接地址必须是以http://或https://开头的网址内容!");
        return false;
    }
    if (address_exists) {
        return MessageBox::question(gbk("已存在相同链接地址,是否重复增加?"));
    }
    inform("链接地址必须是以http://或https://开头的网址内容!");
    return false;
}

bool save_link(const Text& name, const Text& address) {
    return write_entry(link_section(), name, address);
}

} // namespace

void LinkManagerWindow::add_link(bool close_after) {
    // Exactly as typed: neither box is trimmed.
    const Text name = from_qstring(编辑框1->text());
    const Text address = from_qstring(编辑框2->text());
    if (!accept_link(name, address, read_data_text(), close_after)) {
        return;
    }
    if (!store_link(name, address)) {
        return;
    }
    if (close_after) {
        // The manager closes once this handler has returned, as a close from code always does.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

bool LinkManagerWindow::store_link(const Text& name, const Text& address) {
    if (!save_link(name, address)) {
        report_save_failure();
        return false;
    }
    const DataSnapshot data = DataSnapshot::load();
    link_names() = data.list_section_keys(section_header(link_section()));
    fill_link_list(data);
    // Clicks in the manager are handled during this wait; only the main window stays blocked.
    show_add_notice(*this);
    refresh_main_selector();
    return true;
}

void LinkManagerWindow::report_save_failure() {
    inform("保存失败,请检查Data文件夹下的URL.ini是否可写!");
}

} // namespace lorvane
