// The announcement strip: its text fetched over HTTPS from a local server when the window is made,
// the production endpoint, and the scroll rule driven tick by tick.

#include "data_dir.h"
#include "local_servers.h"
#include "main_test_support.h"

#include "platform/http.h"
#include "platform/widget_text.h"
#include "text/gbk.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"
#include "ui/main/marquee.h"

#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <string>

using namespace Qt::Literals::StringLiterals;
using lorvane::MainWindow;
using lorvane::Text;

namespace {

constexpr QRect strip_place{0, 264, 1880, 20};
constexpr int strip_width = 1880;

const lorvane::testing::LocalServers& servers() {
    return lorvane::testing::local_servers();
}

// An address on the local HTTPS server that answers with exactly these bytes.
Text served_over_https(const QByteArray& body) {
    return servers().https("/page?body=" + body.toPercentEncoding().toStdString());
}

// Ticks of 时钟1, driven directly; the timer itself is stopped so that only these count.
void tick(MainWindow& window, int times) {
    for (int i = 0; i < times; ++i) {
        window.move_marquee();
    }
}

bool dark(QRgb pixel) {
    return qGray(pixel) < 96;
}

} // namespace

class MarqueeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void start_showsTheAnnouncement_data();
    void start_showsTheAnnouncement();
    void start_fetchesTheProgramsOwnEndpoint();
    void timer_movesTheStrip();
    void tick_resetsAtMinusWidthToTheOuterWidth();
    void tick_readsTheOuterWidthAtEachReset();
    void tick_leavesNoTrail();
};

void MarqueeTest::initTestCase() {
    lorvane::apply_program_look();
    lorvane::HttpSettings settings;
    settings.connect_timeout_s = 5;
    settings.stall_timeout_s = 5;
    settings.total_timeout_s = 10;
    settings.ca_file = servers().ca_file;
    lorvane::set_http_settings_for_tests(settings);
}

void MarqueeTest::cleanup() {
    lorvane::set_announcement_endpoint_for_tests({});
    lorvane::set_fetcher_for_tests({});
}

void MarqueeTest::start_showsTheAnnouncement_data() {
    QTest::addColumn<QByteArray>("endpoint");
    QTest::addColumn<QString>("shown");

    const auto row = [](const char* name, const Text& endpoint, const QString& shown) {
        QTest::newRow(name) << lorvane::test::bytes(endpoint) << shown;
    };
    row("UTF-8 text", served_over_https(u"欢迎使用 Lorvane!今日公告:新增两条解析线路。"_s.toUtf8()),
        u"欢迎使用 Lorvane!今日公告:新增两条解析线路。"_s);
    row("a character GBK lacks", served_over_https(u"更新😀完成"_s.toUtf8()), u"更新?完成"_s);
    row("line breaks shown as blanks", served_over_https("first\r\nsecond\nthird\rfourth"),
        u"first second third fourth"_s);
    row("markup shown as text", served_over_https("<b>bold</b> &amp;"), u"<b>bold</b> &amp;"_s);
    const QString long_text = u"公告"_s.repeated(400);
    row("longer than the strip", served_over_https(long_text.toUtf8()), long_text);
    row("empty body", served_over_https(QByteArray()), QString());
    // The status is not looked at: the error page is what the server said.
    row("404 page", servers().https("/not-found"),
        u"<html><head><title>404 Not Found</title></head><body>missing</body></html>"_s);
    row("closed port", "https://127.0.0.1:" + std::to_string(lorvane::testing::closed_port()) + "/rjsm.php", QString());
    row("certificate for another name",
        "https://127.0.0.1:" + std::to_string(servers().https_wrong_name_port) + "/page?body=x", QString());
}

void MarqueeTest::start_showsTheAnnouncement() {
    QFETCH(QByteArray, endpoint);
    QFETCH(QString, shown);

    lorvane::test::DataDir dir;
    lorvane::set_announcement_endpoint_for_tests(endpoint.toStdString());
    // Made, not yet shown: the text is there before the window first appears.
    const MainWindow window;
    QCOMPARE(window.透明标签1->text(), shown);
    QCOMPARE(window.透明标签1->textFormat(), Qt::PlainText);
    // A long text is cut at the strip's right edge; the strip keeps its box.
    QCOMPARE(window.透明标签1->geometry(), strip_place);
}

void MarqueeTest::start_fetchesTheProgramsOwnEndpoint() {
    const Text expected = "https://" LORVANE_ANNOUNCEMENT_HOST ":442/rjsm.php";
    QCOMPARE(lorvane::test::bytes(lorvane::announcement_endpoint()), lorvane::test::bytes(expected));

    lorvane::test::DataDir dir;
    QByteArrayList fetched;
    lorvane::set_fetcher_for_tests([&fetched](const Text& address) {
        fetched << lorvane::test::bytes(address);
        return u"服务器公告"_s.toUtf8().toStdString();
    });
    const MainWindow window;
    QCOMPARE(fetched, QByteArrayList{lorvane::test::bytes(expected)});
    QCOMPARE(window.透明标签1->text(), u"服务器公告"_s);
}

void MarqueeTest::timer_movesTheStrip() {
    lorvane::test::DataDir dir;
    MainWindow window;
    QCOMPARE(window.透明标签1->x(), 0);
    QTRY_VERIFY(window.透明标签1->x() < 0);
    QCOMPARE(window.透明标签1->y(), strip_place.y());
}

void MarqueeTest::tick_resetsAtMinusWidthToTheOuterWidth() {
    lorvane::test::DataDir dir;
    MainWindow window;
    QVERIFY(lorvane::test::show_and_activate(window));
    window.时钟1->stop();
    const int outer_width = window.frameGeometry().width();
    QVERIFY(outer_width > 0);

    // The first pass starts at 0: 1879 ticks bring the right edge one pixel short of the left edge.
    tick(window, strip_width - 1);
    QCOMPARE(window.透明标签1->x(), -1879);
    // The tick to -1880 puts the strip at the window's outer width instead; -1881 is never reached.
    tick(window, 1);
    QCOMPARE(window.透明标签1->x(), outer_width);
    tick(window, 1);
    QCOMPARE(window.透明标签1->x(), outer_width - 1);

    // Every later pass starts at the outer width and takes that width plus 1880 ticks.
    tick(window, outer_width + strip_width - 2);
    QCOMPARE(window.透明标签1->x(), -1879);
    tick(window, 1);
    QCOMPARE(window.透明标签1->x(), outer_width);
    QCOMPARE(window.透明标签1->y(), strip_place.y());
    QCOMPARE(window.透明标签1->size(), strip_place.size());
}

void MarqueeTest::tick_readsTheOuterWidthAtEachReset() {
    lorvane::test::DataDir dir;
    MainWindow window;
    QVERIFY(lorvane::test::show_and_activate(window));
    window.时钟1->stop();

    window.透明标签1->move(-1879, strip_place.y());
    tick(window, 1);
    const int first_width = window.frameGeometry().width();
    QCOMPARE(window.透明标签1->x(), first_width);

    window.setFixedSize(window.width() + 100, window.height());
    QTRY_COMPARE(window.frameGeometry().width(), first_width + 100);
    window.透明标签1->move(-1879, strip_place.y());
    tick(window, 1);
    QCOMPARE(window.透明标签1->x(), first_width + 100);
}

void MarqueeTest::tick_leavesNoTrail() {
    lorvane::test::DataDir dir;
    lorvane::set_fetcher_for_tests([](const Text&) { return std::string("WWWWWWWWWWWWWWWWWWWW"); });
    MainWindow window;
    QVERIFY(lorvane::test::show_and_activate(window));
    window.时钟1->stop();
    QCoreApplication::processEvents();

    // What the window shows is what its backing store holds, painted bit by bit as the strip moves.
    const auto on_screen = [&window] {
        return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    // The rightmost column of the strip that holds a text pixel; -1 when there is none.
    const auto text_right_edge = [](const QImage& image) {
        for (int x = image.width() - 1; x >= 0; --x) {
            for (int y = strip_place.top(); y <= strip_place.bottom(); ++y) {
                if (dark(image.pixel(x, y))) {
                    return x;
                }
            }
        }
        return -1;
    };
    const QImage before = on_screen();
    const int right_edge = text_right_edge(before);
    QVERIFY2(right_edge > 20, qPrintable(QString::number(right_edge)));
    // Only the text is painted: beyond it the window's own colour shows.
    QCOMPARE(QColor(before.pixel(right_edge + 10, strip_place.center().y())), window.palette().color(QPalette::Window));

    // One pixel at a time, each step painted before the next, until the text has left at the left.
    for (int step = 0; step <= right_edge; ++step) {
        tick(window, 1);
        QCoreApplication::processEvents();
    }
    const QImage after = on_screen();
    QCOMPARE(text_right_edge(after), -1);
    // And the window looks as a fresh paint of it does.
    const QImage fresh = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(after.copy(window.rect()), fresh.copy(window.rect()));
}

QTEST_MAIN(MarqueeTest)
#include "marquee_test.moc"
