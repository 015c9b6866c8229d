// The history window as a window: its frame and controls, its keys, putting a record back into the
// main window, and the modal run that blocks the main window.

#include "history_support.h"

#include "app/shared_lists.h"
#include "platform/message_box.h"
#include "store/data_file.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <optional>

using namespace Qt::Literals::StringLiterals;
using namespace lorvane::test;
using lorvane::gbk;
using lorvane::HistoryWindow;
using lorvane::MainWindow;
using lorvane::MessageBox;
using lorvane::Text;

class HistoryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lorvane::apply_program_look(); }
    void init() {
        MessageBox::clearLog();
        lorvane::history_keys().clear();
    }

    void useSelected_data();
    void useSelected();
    void open_blocksMainWindowUntilClosed();
    void open_usedRecordGoesBackToMainWindow();

    void window_looksAsDrawn();
    void keys_escapeClosesAndEnterPressesNothing();
};

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
