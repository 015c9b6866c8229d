// The link selector 组合框1: filled from the keys of "可选组合链接", its selection remembered as an
// index in "组合框配置".

#include "ui/main/main_window.h"

#include "platform/run_dir.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/snapshot.h"

#include <QByteArray>
#include <QComboBox>
#include <QStringList>

#include <algorithm>

namespace lorvane {

namespace {

constexpr int stored_name_role = Qt::UserRole;

} // namespace

void MainWindow::prepare_main_window() {
    make_directory(data_folder_path());
    const DataSnapshot data = DataSnapshot::load();
    if (section_present(data.text(), link_section())) {
        fill_link_selector(data);
    }
    restore_link_selection(data);
    show_announcement();
}

void MainWindow::fill_link_selector() {
    fill_link_selector(DataSnapshot::load());
}

void MainWindow::fill_link_selector(const DataSnapshot& data) {
    const TextList names = data.list_section_keys(section_header(link_section()));
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const Text& name : names) {
        items.append(to_qstring(name));
    }
    组合框1->clear();
    组合框1->addItems(items);
    // Each item keeps its key's bytes, so a name that is not valid GBK still finds its entry.
    for (int i = 0; i < 组合框1->count(); ++i) {
        组合框1->setItemData(i, QByteArray::fromStdString(names[static_cast<std::size_t>(i)]), stored_name_role);
    }
    // Filling an empty box makes the toolkit select the first item; the selector starts with none.
    组合框1->setCurrentIndex(-1);
}

void MainWindow::restore_link_selection() {
    restore_link_selection(DataSnapshot::load());
}

void MainWindow::restore_link_selection(const DataSnapshot& data) {
    const Text stored = data.read_entry(selector_section(), selector_key());
    const std::int64_t count = 组合框1->count();
    std::int64_t index = 0;
    if (!stored.empty() && parse_integer(stored) <= count) {
        index = parse_integer(stored);
    }
    组合框1->setCurrentIndex(static_cast<int>(std::clamp<std::int64_t>(index, -1, count - 1)));
}

Text MainWindow::chosen_link_name() const {
    const int index = 组合框1->currentIndex();
    if (index < 0) {
        return {};
    }
    return 组合框1->itemData(index, stored_name_role).toByteArray().toStdString();
}

void MainWindow::save_link_selection() {
    write_entry(selector_section(), selector_key(), format_integer(组合框1->currentIndex()));
}

} // namespace lorvane
