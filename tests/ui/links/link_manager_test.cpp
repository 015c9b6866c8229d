// The link manager window: its frame, controls, keys and tab order, the list filled from the data
// file, the click that copies a row into the edit boxes, and the modal run from the main window.

#include "data_dir.h"
#include "window_driving.h"
#include "links_test_support.h"

#include "app/shared_lists.h"
#include "store/data_file.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using lorvane::LinkManagerWindow;
using lorvane::MainWindow;
using lorvane::test::file_of;
using lorvane::test::rows_of;

namespace {

// Three links, then the history and the selector settings.
const QStringList three_links{u"[可选组合链接]"_s,
                              u"甲=http://a.example/?u="_s,
                              u"乙=http://b.example/?u="_s,
                              u"丙=http://c.example/?u="_s,
                              u"[历史记录]"_s,
                              u"2020年6月17日9时=某页|http://v.example/1"_s,
                              u"[组合框配置]"_s,
                              u"默认选中项=0"_s};

using lorvane::test::show_and_activate;

// The control that owns the keyboard focus.
QString focused_control(const QWidget& window) {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr && widget != &window;
         widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty() && widget->parentWidget() == &window) {
            return widget->objectName();
        }
    }
    return {};
}

QPoint row_centre(const QTableView& list, int row, int column) {
    return list.visualRect(list.model()->index(row, column)).center();
}

// Where the style draws the check box of `row`.
QPoint check_box_centre(const QTableView& list, int row) {
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.rect = list.visualRect(list.model()->index(row, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = list.model()->index(row, 0).data().toString();
    return list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list).center();
}

// A click that goes through the window system, as the user's does, so that a window blocked by a
// modal one does not get it.
void click_through_window(QWidget& widget, QPoint at) {
    QWindow* window = widget.window()->windowHandle();
    QVERIFY(window != nullptr);
    QTest::mouseClick(window, Qt::LeftButton, {}, widget.mapTo(widget.window(), at));
}

} // namespace

class LinkManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        lorvane::apply_program_look();
        lorvane::test::answer_fetches_with_nothing();
    }

    void fill_listsEveryLinkWithItsKey_data();
    void fill_listsEveryLinkWithItsKey();
    void fillLinkList_afterFileChange_rebuildsFromLinkNames();

    void click_copiesFirstSelectedRow_data();
    void click_copiesFirstSelectedRow();
    void clickOnCheckBox_ticksRowAndCopiesFirstSelected();
    void keyboardSelection_copiesNothing();

    void controls_standAtTheirPlaces_data();
    void controls_standAtTheirPlaces();
    void window_hasFixedDialogFrameCentredOverNothingButTheScreen();
    void list_hasItsColumnsAndLook();
    void captions_fitTheirControls();
    void tab_runsThroughControlsInOrder();
    void escape_closesWindow_data();
    void escape_closesWindow();
    void enter_neverPressesAButton();

    void open_blocksMainWindowUntilClosed();
};

void LinkManagerTest::fill_listsEveryLinkWithItsKey_data() {
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("three links in file order")
        << three_links
        << QStringList{u"1|甲|http://a.example/?u="_s, u"2|乙|http://b.example/?u="_s, u"3|丙|http://c.example/?u="_s}
        << QStringList{u"甲"_s, u"乙"_s, u"丙"_s};
    // Once one empty address hid every link, and with them the way to remove it.
    QTest::newRow("empty first address still lists all")
        << QStringList{u"[可选组合链接]"_s, u"空="_s, u"甲=http://a.example/"_s, u"乙="_s}
        << QStringList{u"1|空|"_s, u"2|甲|http://a.example/"_s, u"3|乙|"_s} << QStringList{u"空"_s, u"甲"_s, u"乙"_s};
    QTest::newRow("line without = lists as an empty key")
        << QStringList{u"[可选组合链接]"_s, u"甲=http://a.example/"_s, u"odd line"_s, u"乙=http://b.example/"_s}
        << QStringList{u"1|甲|http://a.example/"_s, u"2||"_s, u"3|乙|http://b.example/"_s}
        << QStringList{u"甲"_s, QString(), u"乙"_s};
    QTest::newRow("blanks around the value are not shown")
        << QStringList{u"[可选组合链接]"_s, u"甲= http://a.example/ "_s} << QStringList{u"1|甲|http://a.example/"_s}
        << QStringList{u"甲"_s};
    QTest::newRow("no link section") << QStringList{u"[历史记录]"_s, u"2020年6月17日=页|http://v.example/"_s}
                                     << QStringList() << QStringList();
    QTest::newRow("header without any = after it")
        << QStringList{u"[组合框配置]"_s, u"默认选中项=0"_s, u"[可选组合链接]"_s} << QStringList() << QStringList();
    // All links removed, the header left behind, and a later section with entries.
    QTest::newRow("empty section before one with entries")
        << QStringList{u"[可选组合链接]"_s, u"[历史记录]"_s, u"2020年6月17日=页|http://v.example/"_s} << QStringList()
        << QStringList();
    QTest::newRow("no file") << QStringList() << QStringList() << QStringList();
}

void LinkManagerTest::fill_listsEveryLinkWithItsKey() {
    QFETCH(QStringList, file);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, keys);

    lorvane::test::DataDir dir;
    if (!file.isEmpty()) {
        QVERIFY(dir.write_data_file(file_of(file)));
    }
    lorvane::link_names().clear();
    MainWindow main;
    LinkManagerWindow manager(main);
    QCOMPARE(rows_of(manager.list_model()), rows);
    QStringList row_keys;
    for (int row = 0; row < manager.list_model().row_count(); ++row) {
        row_keys << lorvane::to_qstring(manager.list_model().key(row));
        QVERIFY(!manager.list_model().is_ticked(row));
    }
    QCOMPARE(row_keys, keys);
    QCOMPARE(lorvane::test::texts_of(lorvane::link_names()), keys);
}

void LinkManagerTest::fillLinkList_afterFileChange_rebuildsFromLinkNames() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    manager.list_model().set_ticked(0, true);

    // The rows come from link_names(); each value is read from the file as it is now.
    QVERIFY(lorvane::write_entry(lorvane::link_section(), lorvane::gbk("乙"), "http://new.example/"));
    lorvane::link_names() = {lorvane::gbk("乙"), lorvane::gbk("丁")};
    manager.fill_link_list();
    QCOMPARE(rows_of(manager.list_model()), (QStringList{u"1|乙|http://new.example/"_s, u"2|丁|"_s}));
    QVERIFY(!manager.list_model().is_ticked(0));
}

void LinkManagerTest::click_copiesFirstSelectedRow_data() {
    QTest::addColumn<QList<int>>("clicks"); // rows clicked in turn; -1: empty space below the rows
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");

    QTest::newRow("a row") << QList<int>{1} << Qt::KeyboardModifiers() << u"乙"_s << u"http://b.example/?u="_s;
    QTest::newRow("another row replaces it")
        << QList<int>{1, 2} << Qt::KeyboardModifiers() << u"丙"_s << u"http://c.example/?u="_s;
    QTest::newRow("empty space empties both boxes")
        << QList<int>{1, -1} << Qt::KeyboardModifiers() << QString() << QString();
    // With Ctrl the earlier row stays selected, and the first selected row is the one copied.
    QTest::newRow("Ctrl adds a later row: the first stays current")
        << QList<int>{0, 2} << Qt::KeyboardModifiers(Qt::ControlModifier) << u"甲"_s << u"http://a.example/?u="_s;
    QTest::newRow("Ctrl adds an earlier row: it becomes current")
        << QList<int>{2, 1} << Qt::KeyboardModifiers(Qt::ControlModifier) << u"乙"_s << u"http://b.example/?u="_s;
    QTest::newRow("Ctrl takes the only row away: none")
        << QList<int>{1, 1} << Qt::KeyboardModifiers(Qt::ControlModifier) << QString() << QString();
}

void LinkManagerTest::click_copiesFirstSelectedRow() {
    QFETCH(QList<int>, clicks);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, name);
    QFETCH(QString, address);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    manager.编辑框1->setText(u"typed"_s);
    manager.编辑框2->setText(u"typed"_s);

    QWidget* viewport = manager.超级列表框1->viewport();
    const QPoint below_rows(viewport->width() / 2, viewport->height() - 4);
    for (int i = 0; i < clicks.size(); ++i) {
        const QPoint at = clicks[i] < 0 ? below_rows : row_centre(*manager.超级列表框1, clicks[i], 1);
        // The first click selects plainly; the modifier is for the following ones.
        QTest::mouseClick(viewport, Qt::LeftButton, i == 0 ? Qt::KeyboardModifiers() : modifiers, at);
    }
    QCOMPARE(manager.编辑框1->text(), name);
    QCOMPARE(manager.编辑框2->text(), address);
    // Clicks on the text select, they never tick.
    QVERIFY(manager.list_model().ticked_rows().empty());
}

// A click on a check box ticks or unticks its row and leaves the selection as it was, as the
// toolkit's views do; the first selected row is then copied, which need not be the row whose box was
// clicked, and with no row selected both boxes are emptied.
void LinkManagerTest::clickOnCheckBox_ticksRowAndCopiesFirstSelected() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    QTableView& list = *manager.超级列表框1;
    QWidget* viewport = list.viewport();
    manager.编辑框1->setText(u"typed"_s);
    manager.编辑框2->setText(u"typed"_s);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, check_box_centre(list, 2));
    QCOMPARE(manager.list_model().ticked_rows(), std::vector<int>{2});
    QCOMPARE(lorvane::current_row(list), -1);
    QCOMPARE(manager.编辑框1->text(), QString());
    QCOMPARE(manager.编辑框2->text(), QString());

    QTest::mouseClick(viewport, Qt::LeftButton, {}, row_centre(list, 0, 2));
    manager.编辑框1->setText(u"typed"_s);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, check_box_centre(list, 1));
    QCOMPARE(manager.list_model().ticked_rows(), (std::vector<int>{1, 2}));
    QCOMPARE(lorvane::current_row(list), 0);
    QCOMPARE(manager.编辑框1->text(), u"甲"_s);
    QCOMPARE(manager.编辑框2->text(), u"http://a.example/?u="_s);

    // A second click on a box unticks it.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, check_box_centre(list, 2));
    QCOMPARE(manager.list_model().ticked_rows(), std::vector<int>{1});
    QCOMPARE(manager.编辑框1->text(), u"甲"_s);
}

void LinkManagerTest::keyboardSelection_copiesNothing() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    QTest::mouseClick(manager.超级列表框1->viewport(), Qt::LeftButton, {}, row_centre(*manager.超级列表框1, 0, 1));
    QCOMPARE(manager.编辑框1->text(), u"甲"_s);

    QTest::keyClick(manager.超级列表框1, Qt::Key_Down);
    QCOMPARE(lorvane::current_row(*manager.超级列表框1), 1);
    QCOMPARE(manager.编辑框1->text(), u"甲"_s);
}

void LinkManagerTest::controls_standAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("caption");

    QTest::newRow("标签1") << u"标签1"_s << QRect(8, 8, 64, 24) << u"显示名称:"_s;
    QTest::newRow("编辑框1") << u"编辑框1"_s << QRect(72, 8, 384, 24) << QString();
    QTest::newRow("标签2") << u"标签2"_s << QRect(8, 56, 64, 24) << u"链接地址:"_s;
    QTest::newRow("编辑框2") << u"编辑框2"_s << QRect(72, 56, 384, 24) << QString();
    QTest::newRow("添加按钮") << u"添加按钮"_s << QRect(16, 88, 96, 24) << u"添加"_s;
    QTest::newRow("连续添加按钮") << u"连续添加按钮"_s << QRect(128, 88, 96, 24) << u"连续添加"_s;
    QTest::newRow("删除选中按钮") << u"删除选中按钮"_s << QRect(240, 88, 96, 24) << u"删除选中"_s;
    QTest::newRow("全部清空按钮") << u"全部清空按钮"_s << QRect(352, 88, 96, 24) << u"全部清空"_s;
    QTest::newRow("超级列表框1") << u"超级列表框1"_s << QRect(8, 120, 456, 256) << QString();
}

void LinkManagerTest::controls_standAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, caption);

    lorvane::test::DataDir dir;
    MainWindow main;
    LinkManagerWindow manager(main);
    auto* control = manager.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), &manager);
    QCOMPARE(control->geometry(), place);
    QVERIFY(manager.rect().contains(control->geometry()));
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(!label->wordWrap());
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->autoDefault());
        QVERIFY(!button->isDefault());
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->text(), QString());
    }
}

void LinkManagerTest::window_hasFixedDialogFrameCentredOverNothingButTheScreen() {
    lorvane::test::DataDir dir;
    MainWindow main;
    main.move(0, 0); // away from the middle, so a dialog centred over its owner would show it
    QVERIFY(show_and_activate(main));
    LinkManagerWindow manager(main);
    QCOMPARE(manager.windowTitle(), u"添加可选链接"_s);
    QCOMPARE(manager.objectName(), u"添加可选链接"_s);
    const Qt::WindowFlags flags = manager.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(manager.minimumSize(), QSize(472, 384));
    QCOMPARE(manager.maximumSize(), QSize(472, 384));
    QVERIFY(!manager.windowIcon().isNull());

    QVERIFY(show_and_activate(manager));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Where the program puts every window, whatever the owner's place: the frame adds its margins.
    QCOMPARE(manager.frameGeometry().topLeft(),
             screen.topLeft() + QPoint((screen.width() - 472) / 2, (screen.height() - 384) / 2));
    // Kept with the main window by the window manager: no taskbar button of its own.
    QCOMPARE(manager.windowHandle()->transientParent(), main.windowHandle());
}

void LinkManagerTest::list_hasItsColumnsAndLook() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    const QTableView& list = *manager.超级列表框1;
    QCOMPARE(list.model(), &manager.list_model());
    const QHeaderView& header = *list.horizontalHeader();
    QCOMPARE(header.count(), 3);
    const QStringList titles{u"序号"_s, u"名称"_s, u"地址"_s};
    const QList<int> widths{50, 150, 239};
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(list.model()->headerData(column, Qt::Horizontal).toString(), titles[column]);
        QCOMPARE(header.sectionSize(column), widths[column]);
    }
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(list.showGrid());
    QVERIFY(!list.isSortingEnabled());
    QVERIFY(header.sectionsClickable());
    QVERIFY(list.model()->flags(list.model()->index(0, 0)) & Qt::ItemIsUserCheckable);
}

void LinkManagerTest::captions_fitTheirControls() {
    lorvane::test::DataDir dir;
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    for (QLabel* label : manager.findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width(),
                 qPrintable(label->objectName()));
        QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
    for (QPushButton* button : manager.findChildren<QPushButton*>()) {
        const QSize needed = button->sizeHint();
        QVERIFY2(needed.width() <= button->width() && needed.height() <= button->height(),
                 qPrintable(button->objectName()));
    }
    const QFontMetrics header(manager.超级列表框1->horizontalHeader()->font());
    QVERIFY(header.height() < manager.超级列表框1->horizontalHeader()->height());
}

void LinkManagerTest::tab_runsThroughControlsInOrder() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    manager.编辑框1->setFocus();
    QTRY_COMPARE(focused_control(manager), u"编辑框1"_s);

    const QStringList order{u"编辑框2"_s,      u"超级列表框1"_s,  u"添加按钮"_s, u"连续添加按钮"_s,
                            u"删除选中按钮"_s, u"全部清空按钮"_s, u"编辑框1"_s};
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focused_control(manager);
    }
    QCOMPARE(visited, order);
}

void LinkManagerTest::escape_closesWindow_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");

    QTest::newRow("from the name box") << u"编辑框1"_s << Qt::KeyboardModifiers() << true;
    QTest::newRow("from the list") << u"超级列表框1"_s << Qt::KeyboardModifiers() << true;
    QTest::newRow("from a button") << u"全部清空按钮"_s << Qt::KeyboardModifiers() << true;
    QTest::newRow("Shift+Esc") << u"编辑框2"_s << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Esc") << u"超级列表框1"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("Alt+Esc") << u"编辑框1"_s << Qt::KeyboardModifiers(Qt::AltModifier) << false;
}

void LinkManagerTest::escape_closesWindow() {
    QFETCH(QString, focus);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    auto* target = manager.findChild<QWidget*>(focus);
    QVERIFY(target != nullptr);
    target->setFocus();
    QTRY_COMPARE(focused_control(manager), focus);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, modifiers);
    QCOMPARE(manager.isVisible(), !closes);
}

void LinkManagerTest::enter_neverPressesAButton() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    const lorvane::Text before = dir.read_data_file();
    MainWindow main;
    LinkManagerWindow manager(main);
    QVERIFY(show_and_activate(manager));
    manager.编辑框1->setText(u"新链接"_s);
    manager.编辑框2->setText(u"https://new.example/"_s);

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QPushButton* button : manager.findChildren<QPushButton*>()) {
        spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    }
    for (QWidget* control : manager.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter);
    }
    for (const auto& spy : spies) {
        QVERIFY(spy->isEmpty());
    }
    QVERIFY(manager.isVisible());
    QCOMPARE(lorvane::test::bytes(dir.read_data_file()), lorvane::test::bytes(before));
}

void LinkManagerTest::open_blocksMainWindowUntilClosed() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(three_links)));
    MainWindow main;
    QVERIFY(show_and_activate(main));
    int main_clicks = 0;
    main.open_link_manager = [&main_clicks] { ++main_clicks; };
    const QPoint on_button = main.组合打开按钮1->rect().center();

    LinkManagerWindow* seen = nullptr;
    int clicks_while_open = -1;
    bool list_filled = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<LinkManagerWindow*>(QApplication::activeModalWidget()) != nullptr);
        seen = qobject_cast<LinkManagerWindow*>(QApplication::activeModalWidget());
        list_filled = seen->list_model().row_count() == 3 && seen->isVisible();
        click_through_window(*main.组合打开按钮1, on_button);
        clicks_while_open = main_clicks;
        QTest::keyClick(seen->编辑框1, Qt::Key_Escape);
    });
    lorvane::open_link_manager_window(main);

    QVERIFY(seen != nullptr);
    QVERIFY(list_filled);
    QCOMPARE(clicks_while_open, 0);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // Closed, the manager is gone with its handler, and the main window takes clicks again.
    QVERIFY(main.findChildren<LinkManagerWindow*>().isEmpty());
    click_through_window(*main.组合打开按钮1, on_button);
    QCOMPARE(main_clicks, 1);
}

QTEST_MAIN(LinkManagerTest)
#include "link_manager_test.moc"
