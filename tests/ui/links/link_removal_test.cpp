// Removing links: the ticked ones by the keys their rows were built from, or all of them; the
// warnings and their answers, what stays in the file, the list and the main window's selector.

#include "data_dir.h"
#include "links_test_support.h"

#include "app/shared_lists.h"
#include "store/data_file.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using lorvane::LinkManagerWindow;
using lorvane::MainWindow;
using lorvane::MessageBox;
using lorvane::test::bytes;
using lorvane::test::file_of;
using lorvane::test::ModalAnswerer;
using lorvane::test::rows_of;
using lorvane::test::save_failed_box;
using lorvane::test::Windows;

namespace {

const QString link_header = u"[可选组合链接]"_s;
// The history and the selector at index 3 after the links; both must survive every removal.
const QStringList other_sections{u"[历史记录]"_s, u"2020年6月17日9时=某页|http://jx.a.example/?url=x"_s,
                                 u"[组合框配置]"_s, u"默认选中项=3"_s};
const QStringList abc{u"甲=http://jx.a.example/?url="_s, u"乙=http://jx.b.example/?url="_s,
                      u"丙=http://jx.c.example/?url="_s};

lorvane::Text file_with_links(const QStringList& links) {
    return file_of(QStringList{link_header} + links + other_sections);
}

const QString remove_ticked_warning = u"warning: 该操作将删除所有勾选项,你确定这么做吗? [删除选中项操作]"_s;
const QString remove_all_warning = u"warning: 该操作将清空所有选项,你确定这么做吗? [危险的清空操作]"_s;

// The two removals, as rows of a table.
void both_removals() {
    QTest::addColumn<bool>("all");
    QTest::newRow("删除选中") << false;
    QTest::newRow("全部清空") << true;
}

// Puts texts into the edit boxes and a stale item into the selector, so that a test sees whether
// the boxes are left alone and whether the selector was refilled.
void mark_untouched_state(Windows& windows) {
    windows.manager.编辑框1->setText(u"名称"_s);
    windows.manager.编辑框2->setText(u"地址"_s);
    windows.main.组合框1->addItem(u"stale"_s);
}

} // namespace

class LinkRemovalTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        lorvane::apply_program_look();
        lorvane::test::answer_fetches_with_nothing();
    }
    void init() { MessageBox::clearLog(); }

    void removeTicked_deletesExactlyTheTickedKeys_data();
    void removeTicked_deletesExactlyTheTickedKeys();
    void removeAll_deletesSectionOnly();
    void cancel_changesNothing_data();
    void cancel_changesNothing();
    void failedWrite_reportsAndKeepsRows_data();
    void failedWrite_reportsAndKeepsRows();
    void reopenAfterRemovingEverything_listsNothing();
};

void LinkRemovalTest::removeTicked_deletesExactlyTheTickedKeys_data() {
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QStringList>("rows_after");
    QTest::addColumn<QStringList>("links_after");
    QTest::addColumn<int>("selected"); // the stored index 3 restored over what is left

    QTest::newRow("rows 1 and 3 of 3: row 2 keeps its number")
        << abc << QList<int>{0, 2} << QStringList{u"2|乙|http://jx.b.example/?url="_s} << QStringList{abc[1]} << 0;
    QTest::newRow("nothing ticked") << abc << QList<int>()
                                    << QStringList{u"1|甲|http://jx.a.example/?url="_s,
                                                   u"2|乙|http://jx.b.example/?url="_s,
                                                   u"3|丙|http://jx.c.example/?url="_s}
                                    << abc << 2;
    // Deleting the last key keeps the section's header line.
    QTest::newRow("every row") << abc << QList<int>{0, 1, 2} << QStringList() << QStringList() << -1;
    // The odd line lists as an empty key that cannot be deleted: its row stays, and the rows after
    // it still name their own links.
    const QStringList with_odd_line{abc[0], u"odd line"_s, abc[1], abc[2]};
    QTest::newRow("odd line ticked with others")
        << with_odd_line << QList<int>{0, 1, 3} << QStringList{u"2||"_s, u"3|乙|http://jx.b.example/?url="_s}
        << QStringList{u"odd line"_s, abc[1]} << 0;
    QTest::newRow("rows after an odd line")
        << with_odd_line << QList<int>{2}
        << QStringList{u"1|甲|http://jx.a.example/?url="_s, u"2||"_s, u"4|丙|http://jx.c.example/?url="_s}
        << QStringList{abc[0], u"odd line"_s, abc[2]} << 2;
    QTest::newRow("only the odd line") << with_odd_line << QList<int>{1}
                                       << QStringList{u"1|甲|http://jx.a.example/?url="_s, u"2||"_s,
                                                      u"3|乙|http://jx.b.example/?url="_s,
                                                      u"4|丙|http://jx.c.example/?url="_s}
                                       << with_odd_line << 3;
    // A row whose value is empty is removed like any other.
    QTest::newRow("empty first value") << QStringList{u"空="_s, abc[0]} << QList<int>{0}
                                       << QStringList{u"2|甲|http://jx.a.example/?url="_s} << QStringList{abc[0]} << 0;
}

void LinkRemovalTest::removeTicked_deletesExactlyTheTickedKeys() {
    QFETCH(QStringList, links);
    QFETCH(QList<int>, ticked);
    QFETCH(QStringList, rows_after);
    QFETCH(QStringList, links_after);
    QFETCH(int, selected);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_with_links(links)));
    Windows windows;
    QCOMPARE(windows.manager.list_model().row_count(), links.size());
    for (const int row : ticked) {
        windows.manager.list_model().set_ticked(row, true);
    }
    mark_untouched_state(windows);

    MessageBox::setNextAnswer(MessageBox::Ok);
    ModalAnswerer answerer;
    windows.manager.删除选中按钮->click();

    QCOMPARE(lorvane::test::logged_boxes(), QStringList{remove_ticked_warning});
    QCOMPARE(answerer.shown_boxes(), 0);
    QCOMPARE(bytes(dir.read_data_file()), bytes(file_with_links(links_after)));
    QCOMPARE(rows_of(windows.manager.list_model()), rows_after);
    // The selector was refilled from the file and set to the stored index, clamped.
    QStringList names;
    for (const QString& link : links_after) {
        names << (link.contains(u'=') ? link.left(link.indexOf(u'=')) : QString());
    }
    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), names);
    QCOMPARE(windows.main.组合框1->currentIndex(), selected);
    QCOMPARE(lorvane::test::texts_of(lorvane::link_names()), names);
    QCOMPARE(windows.manager.编辑框1->text(), u"名称"_s);
    QCOMPARE(windows.manager.编辑框2->text(), u"地址"_s);
}

void LinkRemovalTest::removeAll_deletesSectionOnly() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_with_links(abc)));
    Windows windows;
    windows.manager.list_model().set_ticked(1, true);
    mark_untouched_state(windows);

    MessageBox::setNextAnswer(MessageBox::Ok);
    ModalAnswerer answerer;
    windows.manager.全部清空按钮->click();

    QCOMPARE(lorvane::test::logged_boxes(), QStringList{remove_all_warning});
    QCOMPARE(bytes(dir.read_data_file()), bytes(file_of(other_sections)));
    QCOMPARE(windows.manager.list_model().row_count(), 0);
    QCOMPARE(windows.main.组合框1->count(), 0);
    QCOMPARE(windows.main.组合框1->currentIndex(), -1);
    QVERIFY(lorvane::link_names().empty());
    QCOMPARE(windows.manager.编辑框1->text(), u"名称"_s);
    QCOMPARE(windows.manager.编辑框2->text(), u"地址"_s);

    // The stored index 3 stayed: links added again start at the fourth, or the last by clamping.
    for (const char* name : {"子", "丑", "寅", "卯"}) {
        QVERIFY(lorvane::write_entry(lorvane::link_section(), lorvane::gbk(name), "http://x.example/"));
    }
    windows.main.fill_link_selector();
    windows.main.restore_link_selection();
    QCOMPARE(windows.main.组合框1->currentIndex(), 3);
}

void LinkRemovalTest::cancel_changesNothing_data() {
    both_removals();
}

void LinkRemovalTest::cancel_changesNothing() {
    QFETCH(bool, all);

    lorvane::test::DataDir dir;
    const lorvane::Text before = file_with_links(abc);
    QVERIFY(dir.write_data_file(before));
    Windows windows;
    windows.manager.list_model().set_ticked(0, true);
    mark_untouched_state(windows);
    const QStringList items = lorvane::test::items_of(*windows.main.组合框1);

    MessageBox::setNextAnswer(MessageBox::Cancel);
    ModalAnswerer answerer;
    (all ? windows.manager.全部清空按钮 : windows.manager.删除选中按钮)->click();

    QCOMPARE(lorvane::test::logged_boxes(), QStringList{all ? remove_all_warning : remove_ticked_warning});
    QCOMPARE(bytes(dir.read_data_file()), bytes(before));
    QCOMPARE(windows.manager.list_model().row_count(), 3);
    QCOMPARE(windows.manager.list_model().ticked_rows(), std::vector<int>{0});
    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), items); // not refilled: "stale" is still there
}

void LinkRemovalTest::failedWrite_reportsAndKeepsRows_data() {
    both_removals();
}

void LinkRemovalTest::failedWrite_reportsAndKeepsRows() {
    QFETCH(bool, all);

    lorvane::test::DataDir dir;
    const lorvane::Text before = file_with_links(abc);
    QVERIFY(dir.write_data_file(before));
    QVERIFY(lorvane::test::make_read_only(dir));
    Windows windows;
    windows.manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&windows.manager));
    windows.manager.list_model().set_ticked(0, true);
    windows.manager.list_model().set_ticked(2, true);

    // The warning through the seam; the failure box answered on the screen, as the user would.
    MessageBox::setNextAnswer(MessageBox::Ok);
    ModalAnswerer answerer;
    (all ? windows.manager.全部清空按钮 : windows.manager.删除选中按钮)->click();

    QCOMPARE(lorvane::test::logged_boxes(),
             (QStringList{all ? remove_all_warning : remove_ticked_warning, save_failed_box}));
    QCOMPARE(answerer.shown_boxes(), 1);
    QCOMPARE(bytes(dir.read_data_file()), bytes(before));
    QCOMPARE(windows.manager.list_model().row_count(), 3);
    QCOMPARE(windows.manager.list_model().ticked_rows(), (std::vector<int>{0, 2}));
    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
}

// Every link removed with "删除选中" leaves the header behind, followed by a section with entries:
// the manager opens empty.
void LinkRemovalTest::reopenAfterRemovingEverything_listsNothing() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_with_links(abc)));
    MainWindow main;
    {
        LinkManagerWindow manager(main);
        for (int row = 0; row < 3; ++row) {
            manager.list_model().set_ticked(row, true);
        }
        MessageBox::setNextAnswer(MessageBox::Ok);
        manager.remove_ticked_links();
    }
    QCOMPARE(bytes(dir.read_data_file()), bytes(file_with_links({})));
    LinkManagerWindow reopened(main);
    QCOMPARE(reopened.list_model().row_count(), 0);
}

QTEST_MAIN(LinkRemovalTest)
#include "link_removal_test.moc"
