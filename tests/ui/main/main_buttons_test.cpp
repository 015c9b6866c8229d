// The main window's other buttons: the ten site shortcuts, each opening its own address and touching
// nothing else, and the two buttons that run the link manager and the history window modally.

#include "data_dir.h"
#include "local_servers.h"
#include "main_test_support.h"

#include "platform/check_list.h"
#include "platform/message_box.h"
#include "text/gbk.h"
#include "ui/history/history_window.h"
#include "ui/links/link_manager.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"
#include "ui/main/marquee.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <string>

using namespace Qt::Literals::StringLiterals;
using lorvane::gbk;
using lorvane::MainWindow;
using lorvane::MessageBox;
using lorvane::Text;
using lorvane::test::bytes;

namespace {

const Text data_file = gbk("[可选组合链接]\r\n甲=http://jx.example/?url=\r\n乙=http://yi.example/?v=\r\n"
                           "[组合框配置]\r\n默认选中项=0\r\n"
                           "[历史记录]\r\n2020年6月17日9时=片名|http://a.example/\r\n");

} // namespace

class MainButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void shortcut_opensItsAddressAndNothingElse_data();
    void shortcut_opensItsAddressAndNothingElse();
    void historyButton_runsHistoryWindowWhileMainWindowIsBlocked();
    void linkManagerButton_runsLinkManagerWhileMainWindowIsBlocked();

private:
    std::unique_ptr<QTimer> watchdog_;
};

void MainButtonsTest::initTestCase() {
    lorvane::apply_program_look();
    // Nothing listens there: the window gets no announcement, at once.
    lorvane::set_announcement_endpoint_for_tests(
        "https://127.0.0.1:" + std::to_string(lorvane::testing::closed_port()) + "/rjsm.php");
}

void MainButtonsTest::init() {
    MessageBox::clearLog();
    watchdog_ = lorvane::test::modal_watchdog();
}

void MainButtonsTest::shortcut_opensItsAddressAndNothingElse_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("address");

    QTest::newRow("奇艺视频") << u"奇艺按钮1"_s << QByteArray("https://www.iqiyi.com/");
    QTest::newRow("腾讯视频") << u"腾讯按钮2"_s << QByteArray("https://v.qq.com/");
    QTest::newRow("优酷视频") << u"优酷按钮3"_s << QByteArray("https://www.youku.com/");
    QTest::newRow("搜狐视频") << u"搜狐按钮4"_s << QByteArray("https://tv.sohu.com/");
    QTest::newRow("PPTV视频") << u"PPTV按钮5"_s << QByteArray("http://www.pptv.com/");
    QTest::newRow("芒果视频") << u"芒果按钮6"_s << QByteArray("https://www.mgtv.com/");
    QTest::newRow("乐视视频") << u"乐视按钮7"_s << QByteArray("http://www.le.com/");
    QTest::newRow("土豆视频") << u"土豆按钮8"_s << QByteArray("https://www.tudou.com/");
    QTest::newRow("M1905视频") << u"M1905按钮9"_s << QByteArray("http://vip.1905.com/play/1295233.shtml");
    QTest::newRow("监控安防") << u"监控安防按钮10"_s << QByteArray("https://" LORVANE_ANNOUNCEMENT_HOST ":442/");
}

void MainButtonsTest::shortcut_opensItsAddressAndNothingElse() {
    QFETCH(QString, button);
    QFETCH(QByteArray, address);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file));
    lorvane::test::BrowserRecorder browser;
    MainWindow window;
    lorvane::connect_dialogs(window);
    QVERIFY(lorvane::test::show_and_activate(window));
    // A state that differs from what the file would restore, so that a refill would show.
    window.编辑框1->setPlainText(u"http://pasted.example/\n第二行"_s);
    window.组合框1->setCurrentIndex(1);
    window.组合框1->setEditText(u"typed"_s);

    auto* shortcut = window.findChild<QPushButton*>(button);
    QVERIFY(shortcut != nullptr);
    lorvane::test::click_through_window(*shortcut);

    QCOMPARE(browser.opened(), QByteArrayList{address});
    QCOMPARE(bytes(dir.read_data_file()), bytes(data_file));
    QCOMPARE(window.编辑框1->toPlainText(), u"http://pasted.example/\n第二行"_s);
    QCOMPARE(window.组合框1->currentIndex(), 1);
    QCOMPARE(window.组合框1->currentText(), u"typed"_s);
    QCOMPARE(window.组合框1->count(), 2);
    QVERIFY(MessageBox::log().empty());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void MainButtonsTest::historyButton_runsHistoryWindowWhileMainWindowIsBlocked() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file));
    lorvane::test::BrowserRecorder browser;
    MainWindow window;
    lorvane::connect_dialogs(window);
    QVERIFY(lorvane::test::show_and_activate(window));
    auto* button = qobject_cast<QToolButton*>(window.工具条_网页->widgetForAction(window.browse_action));
    QVERIFY(button != nullptr);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<lorvane::HistoryWindow*>(QApplication::activeModalWidget()) != nullptr);
        auto* history = qobject_cast<lorvane::HistoryWindow*>(QApplication::activeModalWidget());
        QVERIFY(QTest::qWaitForWindowExposed(history));
        QCOMPARE(history->records().row_count(), 1);
        // The main window takes no click meanwhile: neither a shortcut nor a second history window.
        lorvane::test::click_through_window(*window.奇艺按钮1);
        lorvane::test::click_through_window(*button);
        seen =
            QApplication::activeModalWidget() == history && window.findChildren<lorvane::HistoryWindow*>().size() == 1;
        history->close();
    });
    lorvane::test::click_through_window(*button);
    QTRY_VERIFY(seen);

    QTRY_COMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(browser.opened().isEmpty());
    // Closed, the main window takes clicks again.
    lorvane::test::click_through_window(*window.奇艺按钮1);
    QCOMPARE(browser.opened(), QByteArrayList{"https://www.iqiyi.com/"});
}

void MainButtonsTest::linkManagerButton_runsLinkManagerWhileMainWindowIsBlocked() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(data_file));
    lorvane::test::BrowserRecorder browser;
    MainWindow window;
    lorvane::connect_dialogs(window);
    QVERIFY(lorvane::test::show_and_activate(window));

    bool seen = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(qobject_cast<lorvane::LinkManagerWindow*>(QApplication::activeModalWidget()) != nullptr);
        auto* manager = qobject_cast<lorvane::LinkManagerWindow*>(QApplication::activeModalWidget());
        QVERIFY(QTest::qWaitForWindowExposed(manager));
        lorvane::test::click_through_window(*window.奇艺按钮1);
        lorvane::test::click_through_window(*window.组合打开按钮1);
        seen = QApplication::activeModalWidget() == manager &&
               window.findChildren<lorvane::LinkManagerWindow*>().size() == 1;
        manager->close();
    });
    lorvane::test::click_through_window(*window.组合打开按钮1);
    QTRY_VERIFY(seen);

    QTRY_COMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(browser.opened().isEmpty());
    lorvane::test::click_through_window(*window.奇艺按钮1);
    QCOMPARE(browser.opened(), QByteArrayList{"https://www.iqiyi.com/"});
}

QTEST_MAIN(MainButtonsTest)
#include "main_buttons_test.moc"
