// The history window over real data files: its rows, putting a record back into the main window,
// removing ticked and all records, failed writes, and the modal run from the main window.

#include "data_dir.h"

#include "app/shared_lists.h"
#include "platform/check_list.h"
#include "platform/message_box.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "text/gbk.h"
#include "ui/history/history_window.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;
using lorvane::gbk;
using lorvane::HistoryWindow;
using lorvane::MainWindow;
using lorvane::MessageBox;
using lorvane::Text;

namespace {

QByteArray bytes(const Text& text) {
    return QByteArray::fromStdString(text);
}

// A data file with a link, the history lines given (UTF-8 here, GBK in the file, each ended by
// CR LF) and the selector settings after them, so a test sees what stays of the other sections.
Text data_file(const QStringList& history_lines) {
    Text file = gbk("[可选组合链接]\r\n甲=http://jx.example/?url=\r\n[历史记录]\r\n");
    for (const QString& line : history_lines) {
        file += lorvane::from_qstring(line) + "\r\n";
    }
    return file + gbk("[组合框配置]\r\n默认选中项=0\r\n");
}

// Records A, an odd line without "=", B and C: four rows, the second with an empty key.
const QStringList records_with_odd_line{u"2020年6月17日9时=A|http://a.example/"_s, u"odd line"_s,
                                        u"2020年6月17日10时=B|http://b.example/"_s,
                                        u"2020年6月17日11时=C|http://c.example/"_s};

QStringList row_cells(const HistoryWindow& window, int row) {
    const lorvane::CheckListModel& model = window.records();
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column) {
        cells << model.data(model.index(row, column)).toString();
    }
    return cells;
}

QStringList first_column(const HistoryWindow& window) {
    QStringList numbers;
    for (int row = 0; row < window.records().row_count(); ++row) {
        numbers << row_cells(window, row).value(0);
    }
    return numbers;
}

QStringList keys_of(const lorvane::TextList& keys) {
    QStringList texts;
    for (const Text& key : keys) {
        texts << lorvane::to_qstring(key);
    }
    return texts;
}

QStringList row_keys(const HistoryWindow& window) {
    lorvane::TextList keys;
    for (int row = 0; row < window.records().row_count(); ++row) {
        keys.push_back(window.records().key(row));
    }
    return keys_of(keys);
}

// Clicks a row the way the user does, away from its check box; with Ctrl the row joins the selection.
void click_row(QTableView& view, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect cell = view.visualRect(view.model()->index(row, 2));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, cell.center());
}

// Clicks `control` through its window, as the window system delivers a click, so that a modal window
// that blocks its window stops the click too.
void click_through_window(QWidget& control) {
    QWindow* window = control.window()->windowHandle();
    QVERIFY(window != nullptr);
    const QPoint centre = control.mapTo(control.window(), control.rect().center());
    QTest::mouseClick(window, Qt::LeftButton, {}, centre);
}

bool show_and_activate(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Makes the data file read-only for as long as it lives: the store refuses to write a file without
// its owner-write bit, as it would a file with the Windows read-only attribute.
class ReadOnly {
public:
    explicit ReadOnly(const QString& path) : path_(path) {
        ok_ = QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    ~ReadOnly() { QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner); }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;
    bool ok() const { return ok_; }

private:
    QString path_;
    bool ok_ = false;
};

// A modal run that a failing check left open would hang the test: whatever modal window is still up
// after this long is closed.
std::unique_ptr<QTimer> modal_watchdog() {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(10000);
    QObject::connect(timer.get(), &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    timer->start();
    return timer;
}

// The seam answers one box; a box that follows in the same handler is shown for real, and closed
// here once it is up.
void close_box_when_shown() {
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        QApplication::activeModalWidget()->close();
    });
}

const QString nothing_selected_hint = u"鼠标点击需要选择的那一行即可,无需勾选,勾选是用于批量删除使用!"_s;
const QString nothing_selected_title = u"提示:未选中任何一行!"_s;
const QString save_failed = u"保存失败,请检查Data文件夹下的URL.ini是否可写!"_s;

} // namespace

class HistoryWindowTest : public QObject {
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

    void useSelected_data();
    void useSelected();

    void removeTicked_deletesOnlyTickedEntries_data();
    void removeTicked_deletesOnlyTickedEntries();
    void removeAll_deletesHistorySection();
    void removal_notCarriedOut_keepsRowsAndFile_data();
    void removal_notCarriedOut_keepsRowsAndFile();

    void open_blocksMainWindowUntilClosed();
    void open_usedRecordGoesBackToMainWindow();

    void window_looksAsDrawn();
    void keys_escapeClosesAndEnterPressesNothing();
};

void HistoryWindowTest::fill_showsRecordsInFileOrder_data() {
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

void HistoryWindowTest::fill_showsRecordsInFileOrder() {
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

void HistoryWindowTest::prepare_withoutRecords_leavesListEmpty_data() {
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

void HistoryWindowTest::prepare_withoutRecords_leavesListEmpty() {
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

void HistoryWindowTest::fill_hundredThousandRecords_listsEveryRow() {
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

void HistoryWindowTest::useSelected_data() {
    QTest::addColumn<QList<int>>("clicked"); // rows clicked in this order, the later ones with Ctrl
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("address"); // null: the hint appears instead

    QTest::newRow("one row") << QList<int>{1} << QList<int>{} << u"http://b.example/?q=x%7Cy"_s;
    QTest::newRow("several rows: the first is used") << QList<int>{2, 0} << QList<int>{} << u"http://a.example/"_s;
    QTest::newRow("a selected row beside a ticked one") << QList<int>{2} << QList<int>{0} << u"http://c.example/"_s;
    QTest::newRow("a ticked row only") << QList<int>{} << QList<int>{1} << QString();
    QTest::newRow("no row") << QList<int>{} << QList<int>{} << QString();
    QTest::newRow("a row without address") << QList<int>{3} << QList<int>{} << QString();
}

void HistoryWindowTest::useSelected() {
    QFETCH(QList<int>, clicked);
    QFETCH(QList<int>, ticked);
    QFETCH(QString, address);

    lorvane::test::DataDir dir;
    const Text file =
        data_file({u"2020年6月17日9时=甲|http://a.example/"_s, u"2020年6月17日10时=乙|http://b.example/?q=x%7Cy"_s,
                   u"2020年6月17日11时=丙|http://c.example/"_s, u"2020年6月17日12时=丁|"_s});
    QVERIFY(dir.write_data_file(file));
    MainWindow main;
    main.编辑框1->setPlainText(u"typed before"_s);
    const int selector_index = main.组合框1->currentIndex();
    HistoryWindow window(main);
    QVERIFY(show_and_activate(window));
    for (qsizetype i = 0; i < clicked.size(); ++i) {
        click_row(*window.历史记录超级列表框, clicked[i], i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    }
    for (const int row : ticked) {
        window.records().set_ticked(row, true);
    }

    if (address.isNull()) {
        MessageBox::setNextAnswer(MessageBox::Ok);
    }
    window.使用选中项按钮->click();

    if (address.isNull()) {
        QCOMPARE(MessageBox::log().size(), std::size_t{1});
        QCOMPARE(MessageBox::log()[0].kind, MessageBox::Kind::information);
        QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].text), nothing_selected_hint);
        QCOMPARE(lorvane::to_qstring(MessageBox::log()[0].title), nothing_selected_title);
        QCOMPARE(main.编辑框1->toPlainText(), u"typed before"_s);
        QTest::qWait(0);
        QVERIFY(window.isVisible());
    } else {
        QVERIFY(MessageBox::log().empty());
        QCOMPARE(main.编辑框1->toPlainText(), address);
        QCOMPARE(main.组合框1->currentIndex(), selector_index);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(bytes(dir.read_data_file()), bytes(file));
}

void HistoryWindowTest::removeTicked_deletesOnlyTickedEntries_data() {
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

void HistoryWindowTest::removeTicked_deletesOnlyTickedEntries() {
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

void HistoryWindowTest::removeAll_deletesHistorySection() {
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

void HistoryWindowTest::removal_notCarriedOut_keepsRowsAndFile_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("readOnly"); // false: Cancel at the warning; true: OK, but the write fails

    QTest::newRow("删除勾选项, Cancel") << u"删除勾选项按钮"_s << false;
    QTest::newRow("全部删除, Cancel") << u"全部删除按钮"_s << false;
    QTest::newRow("删除勾选项, read-only file") << u"删除勾选项按钮"_s << true;
    QTest::newRow("全部删除, read-only file") << u"全部删除按钮"_s << true;
}

void HistoryWindowTest::removal_notCarriedOut_keepsRowsAndFile() {
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

void HistoryWindowTest::open_blocksMainWindowUntilClosed() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file({u"2020年6月17日9时=甲|http://a.example/"_s})));
    MainWindow main;
    int manager_opened = 0;
    main.open_link_manager = [&manager_opened] { ++manager_opened; };
    QVERIFY(show_and_activate(main));

    const auto watchdog = modal_watchdog();
    HistoryWindow* seen = nullptr;
    int rows_seen = -1;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<HistoryWindow*>(QApplication::activeModalWidget()) != nullptr);
        seen = qobject_cast<HistoryWindow*>(QApplication::activeModalWidget());
        rows_seen = seen->records().row_count();
        QVERIFY(QTest::qWaitForWindowExposed(seen));
        // Clicks on the main window do not reach it while the history window is open.
        click_through_window(*main.组合打开按钮1);
        QTest::keyClick(seen, Qt::Key_Escape);
    });
    lorvane::open_history_window(main);

    QVERIFY(seen != nullptr);
    QCOMPARE(rows_seen, 1);
    QCOMPARE(manager_opened, 0);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // Closed, the window is gone, and the main window takes clicks again.
    QVERIFY(main.findChild<HistoryWindow*>() == nullptr);
    click_through_window(*main.组合打开按钮1);
    QCOMPARE(manager_opened, 1);
}

void HistoryWindowTest::open_usedRecordGoesBackToMainWindow() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(
        data_file({u"2020年6月17日9时=甲|http://a.example/"_s, u"2020年6月17日10时=乙 | 站|http://b.example/"_s})));
    MainWindow main;
    QVERIFY(show_and_activate(main));

    const auto watchdog = modal_watchdog();
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<HistoryWindow*>(QApplication::activeModalWidget());
        QVERIFY(window != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        click_row(*window->历史记录超级列表框, 1);
        QTest::mouseClick(window->使用选中项按钮, Qt::LeftButton);
        clicked = true;
    });
    lorvane::open_history_window(main);

    QVERIFY(clicked);
    QVERIFY(MessageBox::log().empty());
    QCOMPARE(main.编辑框1->toPlainText(), u"http://b.example/"_s);
}

void HistoryWindowTest::window_looksAsDrawn() {
    lorvane::test::DataDir dir;
    MainWindow main;
    HistoryWindow window(main);

    QCOMPARE(window.windowTitle(), u"浏览历史记录"_s);
    QCOMPARE(window.parentWidget(), &main);
    QCOMPARE(window.windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window.geometry().center(), screen.center());

    const struct {
        QWidget* control;
        QString name;
        QRect place;
        QString caption;
    } controls[] = {
        {window.历史记录超级列表框, u"历史记录超级列表框"_s, QRect(0, 0, 660, 360), QString()},
        {window.使用选中项按钮, u"使用选中项按钮"_s, QRect(96, 368, 80, 32), u"使用选中项"_s},
        {window.删除勾选项按钮, u"删除勾选项按钮"_s, QRect(288, 368, 80, 32), u"删除勾选项"_s},
        {window.全部删除按钮, u"全部删除按钮"_s, QRect(472, 368, 80, 32), u"全部删除"_s},
    };
    for (const auto& control : controls) {
        QCOMPARE(control.control->objectName(), control.name);
        QCOMPARE(window.findChild<QWidget*>(control.name), control.control);
        QCOMPARE(control.control->geometry(), control.place);
        QVERIFY2(window.rect().contains(control.place), qPrintable(control.name));
        if (auto* button = qobject_cast<QPushButton*>(control.control)) {
            QCOMPARE(button->text(), control.caption);
            QVERIFY(!button->autoDefault());
            QVERIFY(!button->isDefault());
        }
    }

    const QTableView& list = *window.历史记录超级列表框;
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    const QStringList titles{u"序号"_s, u"浏览日期"_s, u"网页标题"_s, u"页面地址"_s};
    const QList<int> widths{50, 150, 239, 200};
    QCOMPARE(window.records().columnCount(), titles.size());
    for (int column = 0; column < titles.size(); ++column) {
        QCOMPARE(window.records().headerData(column, Qt::Horizontal).toString(), titles[column]);
        QCOMPARE(list.columnWidth(column), widths[column]);
    }

    // The captions fit their buttons, the style's margins included.
    QVERIFY(show_and_activate(window));
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
        QVERIFY2(button->sizeHint().height() <= button->height(), qPrintable(button->objectName()));
    }
}

void HistoryWindowTest::keys_escapeClosesAndEnterPressesNothing() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file({u"2020年6月17日9时=甲|http://a.example/"_s})));
    MainWindow main;
    HistoryWindow window(main);
    QVERIFY(show_and_activate(window));
    click_row(*window.历史记录超级列表框, 0);
    window.records().set_ticked(0, true);

    // Enter on any control, with a row selected and ticked, presses no button.
    for (QWidget* control : std::initializer_list<QWidget*>{window.历史记录超级列表框, window.使用选中项按钮,
                                                            window.删除勾选项按钮, window.全部删除按钮}) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter);
    }
    QVERIFY(MessageBox::log().empty());
    QCOMPARE(main.编辑框1->toPlainText(), QString());
    QVERIFY(window.isVisible());

    // Tab runs from the list through the three buttons.
    window.历史记录超级列表框->setFocus();
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited,
             (QStringList{u"使用选中项按钮"_s, u"删除勾选项按钮"_s, u"全部删除按钮"_s, u"历史记录超级列表框"_s}));

    QTest::keyClick(window.历史记录超级列表框, Qt::Key_Escape, Qt::ShiftModifier);
    QVERIFY(window.isVisible());
    QTest::keyClick(window.历史记录超级列表框, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(HistoryWindowTest)
#include "history_window_test.moc"
