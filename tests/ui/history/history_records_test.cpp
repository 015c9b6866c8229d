// The history's rows over real data files, and removing ticked and all records from them.

#include "history_support.h"

#include "app/shared_lists.h"
#include "platform/message_box.h"
#include "store/data_file.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <optional>

using namespace Qt::Literals::StringLiterals;
using namespace lorvane::test;
using lorvane::gbk;
using lorvane::HistoryWindow;
using lorvane::MainWindow;
using lorvane::MessageBox;
using lorvane::Text;

class HistoryRecordsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lorvane::apply_program_look(); }
    void init() {
        MessageBox::clearLog();
        lorvane::history_keys().clear();
    }

    void fill_showsRecordsInFileOrder_data();
    void fill_showsRecordsInFileOrder();
    void prepare_withoutRecords_leavesListEmpty_data();
    void prepare_withoutRecords_leavesListEmpty();
    void fill_hundredThousandRecords_listsEveryRow();

    void removeTicked_deletesOnlyTickedEntries_data();
    void removeTicked_deletesOnlyTickedEntries();
    void removeAll_deletesHistorySection();
    void removal_notCarriedOut_keepsRowsAndFile_data();
    void removal_notCarriedOut_keepsRowsAndFile();
};

void HistoryRecordsTest::fill_showsRecordsInFileOrder_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("title with a bar splits at the last bar")
        << 0 << QStringList{u"1"_s, u"2020年6月17日9时5分3秒"_s, u"片名 | 站点"_s, u"http://v.example/a.html"_s};
    QTest::newRow("title with a bracket")
        << 1 << QStringList{u"2"_s, u"2020年6月17日9时6分"_s, u"[预告] 片名"_s, u"http://v.example/b.html"_s};
    QTest::newRow("empty title") << 2
                                 << QStringList{u"3"_s, u"2020年6月17日9时"_s, QString(), u"http://v.example/c.html"_s};
    QTest::newRow("value without a bar is all address")
        << 3 << QStringList{u"4"_s, u"2020年6月17日"_s, QString(), u"http://v.example/d.html"_s};
    QTest::newRow("address keeps its %7C")
        << 4 << QStringList{u"5"_s, u"2020年6月18日0时0分7秒"_s, u"标题"_s, u"http://v.example/?q=a%7Cb"_s};
    // 纜 is C0 7C in GBK: its second byte is no bar.
    QTest::newRow("bar as a second byte does not split")
        << 5 << QStringList{u"6"_s, u"2020年6月18日1时"_s, u"纜车"_s, u"http://v.example/e.html"_s};
    QTest::newRow("empty address") << 6 << QStringList{u"7"_s, u"2020年6月18日2时"_s, u"无址"_s, QString()};
}

void HistoryRecordsTest::fill_showsRecordsInFileOrder() {
    QFETCH(int, row);
    QFETCH(QStringList, cells);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file({
        u"2020年6月17日9时5分3秒=片名 | 站点|http://v.example/a.html"_s,
        u"2020年6月17日9时6分=[预告] 片名|http://v.example/b.html"_s,
        u"2020年6月17日9时=|http://v.example/c.html"_s,
        u"2020年6月17日=http://v.example/d.html"_s,
        u"2020年6月18日0时0分7秒=标题|http://v.example/?q=a%7Cb"_s,
        u"2020年6月18日1时=纜车|http://v.example/e.html"_s,
        u"2020年6月18日2时=无址|"_s,
    })));
    MainWindow main;
    HistoryWindow window(main);
    QCOMPARE(window.records().row_count(), 7);
    QCOMPARE(row_cells(window, row), cells);
    QCOMPARE(lorvane::to_qstring(window.records().key(row)), cells[1]);
    // The shared list holds the listing the rows were built from.
    QCOMPARE(keys_of(lorvane::history_keys()), row_keys(window));
}

void HistoryRecordsTest::prepare_withoutRecords_leavesListEmpty_data() {
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("no data file") << false << QByteArray();
    QTest::newRow("no history section") << true << bytes(gbk("[可选组合链接]\r\n甲=http://a/\r\n"));
    QTest::newRow("header at the end") << true << bytes(gbk("[可选组合链接]\r\n甲=http://a/\r\n[历史记录]\r\n"));
    // The loose test passes on the "=" of a later section; the section itself lists nothing.
    QTest::newRow("empty section before another")
        << true << bytes(gbk("[历史记录]\r\n[组合框配置]\r\n默认选中项=0\r\n"));
    // Without any "=" after the header the section counts as absent, odd lines and all.
    QTest::newRow("only lines without =") << true << bytes(gbk("[历史记录]\r\nodd line\r\n"));
}

void HistoryRecordsTest::prepare_withoutRecords_leavesListEmpty() {
    QFETCH(bool, withFile);
    QFETCH(QByteArray, file);

    lorvane::test::DataDir dir;
    if (withFile) {
        QVERIFY(dir.write_data_file(file.toStdString()));
    }
    lorvane::history_keys() = {"stale"};
    MainWindow main;
    HistoryWindow window(main);
    QCOMPARE(window.records().row_count(), 0);
    QVERIFY(lorvane::history_keys().empty());

    MessageBox::setNextAnswer(MessageBox::Ok);
    window.使用选中项按钮->click();
    QCOMPARE(MessageBox::log().size(), std::size_t{1});
    QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].title), nothing_selected_title);
}

void HistoryRecordsTest::fill_hundredThousandRecords_listsEveryRow() {
    constexpr int count = 100000;
    lorvane::test::DataDir dir;
    Text file = gbk("[历史记录]\r\n");
    const Text day = gbk("2020年6月17日");
    for (int i = 1; i <= count; ++i) {
        const Text n = std::to_string(i);
        file += day + n + "=" + gbk("标题") + n + "|http://v.example/" + n + "\r\n";
    }
    QVERIFY(dir.write_data_file(file));

    MainWindow main;
    HistoryWindow window(main);
    QCOMPARE(window.records().row_count(), count);
    QCOMPARE(lorvane::history_keys().size(), std::size_t{count});
    for (const int row : {0, count / 2, count - 1}) {
        const QString n = QString::number(row + 1);
        QCOMPARE(row_cells(window, row),
                 (QStringList{n, u"2020年6月17日"_s + n, u"标题"_s + n, u"http://v.example/"_s + n}));
    }
}

void HistoryRecordsTest::removeTicked_deletesOnlyTickedEntries_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QStringList>("numbersLeft");
    QTest::addColumn<QStringList>("linesLeft");

    const QStringList three{u"2020年6月17日9时=甲|http://a.example/"_s, u"2020年6月17日10时=乙|http://b.example/"_s,
                            u"2020年6月17日11时=丙|http://c.example/"_s};
    QTest::newRow("rows 1 and 3 of three: no renumbering")
        << three << QList<int>{0, 2} << QStringList{u"2"_s} << QStringList{three[1]};
    QTest::newRow("nothing ticked") << three << QList<int>{} << QStringList{u"1"_s, u"2"_s, u"3"_s} << three;
    QTest::newRow("every row") << three << QList<int>{0, 1, 2} << QStringList{} << QStringList{};
    // The odd line lists as an empty key that cannot be deleted: its row and its line stay, and
    // the ticked record after it goes, not the one after that.
    QTest::newRow("odd line and the record after it")
        << records_with_odd_line << QList<int>{1, 2} << QStringList{u"1"_s, u"2"_s, u"4"_s}
        << QStringList{records_with_odd_line[0], records_with_odd_line[1], records_with_odd_line[3]};
    QTest::newRow("record before the odd line") << records_with_odd_line << QList<int>{0}
                                                << QStringList{u"2"_s, u"3"_s, u"4"_s} << records_with_odd_line.mid(1);
}

void HistoryRecordsTest::removeTicked_deletesOnlyTickedEntries() {
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, ticked);
    QFETCH(QStringList, numbersLeft);
    QFETCH(QStringList, linesLeft);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file(lines)));
    MainWindow main;
    HistoryWindow window(main);
    QCOMPARE(window.records().row_count(), lines.size());
    for (const int row : ticked) {
        window.records().set_ticked(row, true);
    }

    MessageBox::setNextAnswer(MessageBox::Ok);
    window.删除勾选项按钮->click();

    QCOMPARE(MessageBox::log().size(), std::size_t{1});
    QCOMPARE(MessageBox::log()[0].kind, MessageBox::Kind::warning);
    QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].text), u"该操作将删除所有勾选项,你确定这么做吗?"_s);
    QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].title), u"删除选中项操作"_s);
    QCOMPARE(first_column(window), numbersLeft);
    // Every other byte of the file, the odd line included, stays as it was.
    QCOMPARE(bytes(dir.read_data_file()), bytes(data_file(linesLeft)));
    QCOMPARE(keys_of(lorvane::history_keys()), row_keys(window));
}

void HistoryRecordsTest::removeAll_deletesHistorySection() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file(records_with_odd_line)));
    MainWindow main;
    HistoryWindow window(main);
    QCOMPARE(window.records().row_count(), 4);

    MessageBox::setNextAnswer(MessageBox::Ok);
    window.全部删除按钮->click();

    QCOMPARE(MessageBox::log().size(), std::size_t{1});
    QCOMPARE(MessageBox::log()[0].kind, MessageBox::Kind::warning);
    QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].text), u"该操作将清空所有选项,你确定这么做吗?"_s);
    QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].title), u"危险的清空操作"_s);
    QCOMPARE(window.records().row_count(), 0);
    QVERIFY(lorvane::history_keys().empty());
    QCOMPARE(bytes(dir.read_data_file()),
             bytes(gbk("[可选组合链接]\r\n甲=http://jx.example/?url=\r\n[组合框配置]\r\n默认选中项=0\r\n")));
}

void HistoryRecordsTest::removal_notCarriedOut_keepsRowsAndFile_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("readOnly"); // false: Cancel at the warning; true: OK, but the write fails

    QTest::newRow("删除勾选项, Cancel") << u"删除勾选项按钮"_s << false;
    QTest::newRow("全部删除, Cancel") << u"全部删除按钮"_s << false;
    QTest::newRow("删除勾选项, read-only file") << u"删除勾选项按钮"_s << true;
    QTest::newRow("全部删除, read-only file") << u"全部删除按钮"_s << true;
}

void HistoryRecordsTest::removal_notCarriedOut_keepsRowsAndFile() {
    QFETCH(QString, button);
    QFETCH(bool, readOnly);

    lorvane::test::DataDir dir;
    const Text file = data_file(records_with_odd_line);
    QVERIFY(dir.write_data_file(file));
    MainWindow main;
    HistoryWindow window(main);
    window.records().set_ticked(0, true);
    window.records().set_ticked(2, true);
    const QStringList keys_before = keys_of(lorvane::history_keys());
    std::optional<ReadOnly> read_only;
    if (readOnly) {
        read_only.emplace(dir.data_file());
        QVERIFY(read_only->ok());
    }

    const auto watchdog = modal_watchdog();
    MessageBox::setNextAnswer(readOnly ? MessageBox::Ok : MessageBox::Cancel);
    if (readOnly) {
        close_box_when_shown();
    }
    window.findChild<QPushButton*>(button)->click();

    QCOMPARE(MessageBox::log().size(), std::size_t{readOnly ? 2u : 1u});
    QCOMPARE(MessageBox::log()[0].kind, MessageBox::Kind::warning);
    if (readOnly) {
        QCOMPARE(MessageBox::log()[1].kind, MessageBox::Kind::information);
        QCOMPARE(lorvane::to_qstring(MessageBox::log()[1].text), save_failed);
    }
    QCOMPARE(first_column(window), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    QCOMPARE(window.records().ticked_rows(), (std::vector<int>{0, 2}));
    QCOMPARE(keys_of(lorvane::history_keys()), keys_before);
    QCOMPARE(bytes(dir.read_data_file()), bytes(file));
}

QTEST_MAIN(HistoryRecordsTest)
#include "history_records_test.moc"
