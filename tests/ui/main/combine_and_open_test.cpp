// "组合全屏打开" over real data files: the address handed to the browser, the history record written
// with the title of a page served on 127.0.0.1, the message when nothing can be combined, and a data
// file that cannot be written.

#include "data_dir.h"
#include "local_servers.h"
#include "main_test_support.h"

#include "platform/http.h"
#include "platform/message_box.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/section_keys.h"
#include "text/gbk.h"
#include "ui/main/combine.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"
#include "ui/main/marquee.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <string>

using namespace Qt::Literals::StringLiterals;
using lorvane::gbk;
using lorvane::MainWindow;
using lorvane::MessageBox;
using lorvane::Text;
using lorvane::test::bytes;

namespace {

const Text links = gbk("[可选组合链接]\r\n甲=http://jx.example/?url=\r\n乙=https://parse.example/play?v=\r\n");
const Text stored_second = gbk("[组合框配置]\r\n默认选中项=1\r\n");
const Text history_header = gbk("[历史记录]\r\n");
const Text record_key = gbk("2020年6月17日9时5分3秒");

const QString nothing_to_combine = u"没有可供组合的链接!"_s;
const QString save_failed = u"浏览记录保存失败,请检查Data文件夹是否可写!"_s;

// An address on the local HTTP server that answers with exactly these UTF-8 bytes.
Text served_page(const std::string& body) {
    const QByteArray encoded = QByteArray::fromStdString(body).toPercentEncoding();
    return lorvane::testing::local_servers().http("/page?body=" + encoded.toStdString());
}

Text titled_page(const std::string& utf8_title) {
    return served_page("<html><head><title>" + utf8_title + "</title></head><body>video</body></html>");
}

Text closed_address(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(lorvane::testing::closed_port()) + path;
}

// The values of "历史记录" in file order, read back through the store.
QByteArrayList history_values() {
    QByteArrayList values;
    for (const Text& key : lorvane::list_section_keys(lorvane::section_header(lorvane::history_section()))) {
        values << bytes(key) + '=' + bytes(lorvane::read_entry(lorvane::history_section(), key));
    }
    return values;
}

QList<MessageBox::Record> message_boxes() {
    return QList<MessageBox::Record>(MessageBox::log().begin(), MessageBox::log().end());
}

QStringList messages() {
    QStringList texts;
    for (const MessageBox::Record& record : MessageBox::log()) {
        texts << lorvane::to_qstring(record.text);
    }
    return texts;
}

} // namespace

class CombineAndOpenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void combineAndOpen_opensPrefixWithPastedTextAndRecordsTitle();
    void combineAndOpen_paths_data();
    void combineAndOpen_paths();
    void combineAndOpen_twiceInOneSecond_keepsOneRecord();
    void combineAndOpen_readOnlyDataFile_opensAndTellsTheWriteFailed();
    void combineAndOpen_asksTheBrowserBeforeFetchingTheTitle();
    void recordHistory_data();
    void recordHistory();

private:
    std::unique_ptr<QTimer> watchdog_;
};

void CombineAndOpenTest::initTestCase() {
    lorvane::apply_program_look();
    lorvane::HttpSettings settings;
    settings.connect_timeout_s = 5;
    settings.stall_timeout_s = 5;
    settings.total_timeout_s = 10;
    lorvane::set_http_settings_for_tests(settings);
    // The main window fetches the announcement when it is made; these tests do not need one.
    lorvane::set_announcement_endpoint_for_tests(closed_address("/rjsm.php"));
}

void CombineAndOpenTest::init() {
    MessageBox::clearLog();
    watchdog_ = lorvane::test::modal_watchdog();
}

void CombineAndOpenTest::cleanup() {
    watchdog_.reset();
    lorvane::set_fetcher_for_tests({});
}

void CombineAndOpenTest::combineAndOpen_opensPrefixWithPastedTextAndRecordsTitle() {
    lorvane::test::DataDir dir;
    const Text file = links + stored_second;
    QVERIFY(dir.write_data_file(file));
    const lorvane::test::FixedClock clock;
    lorvane::test::BrowserRecorder browser;
    MainWindow window;
    QVERIFY(lorvane::test::show_and_activate(window));

    // A title holding "|", as so many do; the page is fetched by its own address, not the combined one.
    const Text pasted = titled_page("片名 | 站点");
    window.编辑框1->setPlainText(lorvane::to_qstring(pasted));
    // A selection made since start-up but not stored does not count: the stored index 1 does.
    window.组合框1->setCurrentIndex(0);
    QTest::mouseClick(window.组合打开按钮, Qt::LeftButton);

    QCOMPARE(browser.opened(), QByteArrayList{"https://parse.example/play?v=" + bytes(pasted)});
    QCOMPARE(bytes(dir.read_data_file()),
             bytes(file + history_header + record_key + "=" + gbk("片名 | 站点") + "|" + pasted + "\r\n"));
    QCOMPARE(messages(), QStringList());
    QCOMPARE(window.编辑框1->toPlainText(), lorvane::to_qstring(pasted));
    QCOMPARE(window.组合框1->currentIndex(), 1);
}

void CombineAndOpenTest::combineAndOpen_paths_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QByteArrayList>("opened");
    QTest::addColumn<QByteArrayList>("history");
    QTest::addColumn<QStringList>("messages");

    const auto row = [](const char* name, const Text& file, const Text& pasted, const QByteArrayList& opened,
                        const QByteArrayList& history, const QStringList& shown) {
        QTest::newRow(name) << bytes(file) << lorvane::to_qstring(pasted) << opened << history << shown;
    };
    const QByteArray key = bytes(record_key) + '=';
    const Text page = titled_page("片名");
    const QByteArray titled = key + bytes(gbk("片名")) + '|';

    row("no links: nothing is chosen", Text(), page, {}, {}, {nothing_to_combine});
    row("stored index -1: nothing is chosen", links + gbk("[组合框配置]\r\n默认选中项=-1\r\n"), page, {}, {},
        {nothing_to_combine});
    row("a chosen name without a key", gbk("[可选组合链接]\r\n名字没有等号\r\n"), page, {}, {}, {nothing_to_combine});
    row("nothing pasted", links + stored_second, Text(), {}, {}, {nothing_to_combine});
    // A name of blanks is listed, but the data file has no entry that answers to it.
    row("the chosen name has no entry: the pasted text alone", gbk("[可选组合链接]\r\n =http://gone.example/\r\n"),
        page, {bytes(page)}, {titled + bytes(page)}, {});
    row("stored index equal to the count: the last link", links + gbk("[组合框配置]\r\n默认选中项=2\r\n"), page,
        {"https://parse.example/play?v=" + bytes(page)}, {titled + bytes(page)}, {});
    row("stored index beyond the count: the first link", links + gbk("[组合框配置]\r\n默认选中项=3\r\n"), page,
        {"http://jx.example/?url=" + bytes(page)}, {titled + bytes(page)}, {});

    const Text closed = closed_address("/video");
    row("failed fetch: empty title", links + stored_second, closed, {"https://parse.example/play?v=" + bytes(closed)},
        {key + '|' + bytes(closed)}, {});
    row("blanks around the pasted text stay", links + stored_second, " " + closed + " ",
        {"https://parse.example/play?v= " + bytes(closed) + ' '}, {key + "| " + bytes(closed)}, {});
    row("\"|\" in the address: opened as it is, stored as %7C", links + stored_second, closed + "?a=1|2|3",
        {"https://parse.example/play?v=" + bytes(closed) + "?a=1|2|3"}, {key + '|' + bytes(closed) + "?a=1%7C2%7C3"},
        {});
    // 亅 is 81 7C in GBK: its second byte is no "|".
    row("a character whose second byte is 7C stays", links + stored_second, closed + gbk("?t=亅"),
        {"https://parse.example/play?v=" + bytes(closed) + bytes(gbk("?t=亅"))},
        {key + '|' + bytes(closed) + bytes(gbk("?t=亅"))}, {});
    // The edit box gives its line breaks as LF; the browser gets them, the data file's line cannot.
    row("two lines: the line break goes to the browser, not into the record", links + stored_second,
        closed + "\nsecond", {"https://parse.example/play?v=" + bytes(closed) + "\nsecond"},
        {key + '|' + bytes(closed) + "second"}, {});
}

void CombineAndOpenTest::combineAndOpen_paths() {
    QFETCH(QByteArray, file);
    QFETCH(QString, pasted);
    QFETCH(QByteArrayList, opened);
    QFETCH(QByteArrayList, history);
    QFETCH(QStringList, messages);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file.toStdString()));
    const lorvane::test::FixedClock clock;
    lorvane::test::BrowserRecorder browser;
    MainWindow window;
    window.编辑框1->setPlainText(pasted);
    if (!messages.isEmpty()) {
        MessageBox::setNextAnswer(MessageBox::Ok);
    }
    window.组合打开按钮->click();

    QCOMPARE(browser.opened(), opened);
    QCOMPARE(history_values(), history);
    QCOMPARE(::messages(), messages);
    for (const MessageBox::Record& box : message_boxes()) {
        QCOMPARE(box.kind, MessageBox::Kind::information);
        QCOMPARE(bytes(box.title), bytes(MessageBox::default_title()));
    }
    if (history.isEmpty()) {
        QCOMPARE(bytes(dir.read_data_file()), file);
    }
    QCOMPARE(window.编辑框1->toPlainText(), pasted);
}

void CombineAndOpenTest::combineAndOpen_twiceInOneSecond_keepsOneRecord() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links + stored_second));
    const lorvane::test::FixedClock clock;
    lorvane::test::BrowserRecorder browser;
    MainWindow window;

    const Text first = titled_page("第一部");
    const Text second = titled_page("第二部");
    window.编辑框1->setPlainText(lorvane::to_qstring(first));
    window.组合打开按钮->click();
    window.编辑框1->setPlainText(lorvane::to_qstring(second));
    window.组合打开按钮->click();

    QCOMPARE(browser.opened().size(), 2);
    QCOMPARE(history_values(), QByteArrayList{bytes(record_key) + '=' + bytes(gbk("第二部")) + '|' + bytes(second)});
    QCOMPARE(messages(), QStringList());
}

void CombineAndOpenTest::combineAndOpen_readOnlyDataFile_opensAndTellsTheWriteFailed() {
    lorvane::test::DataDir dir;
    const Text file = links + stored_second + history_header + gbk("2020年6月16日=旧|http://old.example/\r\n");
    QVERIFY(dir.write_data_file(file));
    QVERIFY(QFile::setPermissions(dir.data_file(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const lorvane::test::FixedClock clock;
    lorvane::test::BrowserRecorder browser;
    QStringList boxes_when_opened;
    browser.on_open([&boxes_when_opened] { boxes_when_opened = messages(); });
    MainWindow window;

    const Text pasted = titled_page("片名");
    window.编辑框1->setPlainText(lorvane::to_qstring(pasted));
    MessageBox::setNextAnswer(MessageBox::Ok);
    window.组合打开按钮->click();

    QCOMPARE(browser.opened(), QByteArrayList{"https://parse.example/play?v=" + bytes(pasted)});
    // The box comes after the browser has been asked.
    QCOMPARE(boxes_when_opened, QStringList());
    QCOMPARE(messages(), QStringList{save_failed});
    QCOMPARE(message_boxes().first().kind, MessageBox::Kind::information);
    QCOMPARE(bytes(dir.read_data_file()), bytes(file));
    QVERIFY(QFile::setPermissions(dir.data_file(), QFile::ReadOwner | QFile::WriteOwner));
}

void CombineAndOpenTest::combineAndOpen_asksTheBrowserBeforeFetchingTheTitle() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links + stored_second));
    lorvane::test::BrowserRecorder browser;
    MainWindow window;

    QStringList events;
    browser.on_open([&events] { events << u"open"_s; });
    lorvane::set_clock_for_tests([&events] {
        events << u"clock"_s;
        return lorvane::test::fixed_moment;
    });
    lorvane::set_fetcher_for_tests([&events](const Text& address) {
        events << u"fetch "_s + lorvane::to_qstring(address);
        return std::string("<title>T</title>");
    });
    window.编辑框1->setPlainText(u"http://video.example/1#start"_s);
    window.组合打开按钮->click();
    lorvane::set_clock_for_tests({});

    // The pasted page is fetched, not the combined address, and without its fragment.
    QCOMPARE(events, (QStringList{u"open"_s, u"clock"_s, u"fetch http://video.example/1"_s}));
    QCOMPARE(browser.opened(), QByteArrayList{"https://parse.example/play?v=http://video.example/1#start"});
    QCOMPARE(history_values().size(), 1);
    QVERIFY(history_values().first().endsWith("=T|http://video.example/1#start"));
}

void CombineAndOpenTest::recordHistory_data() {
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("title and address") << bytes(gbk("片名")) << QByteArray("http://a.example/")
                                       << bytes(gbk("片名|http://a.example/"));
    QTest::newRow("empty title") << QByteArray() << QByteArray("http://a.example/") << QByteArray("|http://a.example/");
    QTest::newRow("\"|\" in the title stays")
        << QByteArray("A | B") << QByteArray("http://a.example/") << QByteArray("A | B|http://a.example/");
    QTest::newRow("every \"|\" of the address")
        << QByteArray("T") << QByteArray("http://a.example/|x||") << QByteArray("T|http://a.example/%7Cx%7C%7C");
    // A title cut after the first byte of 片 would make the separator its second byte.
    QTest::newRow("title cut inside a character")
        << QByteArray("A\xc6") << QByteArray("http://a.example/") << QByteArray("A|http://a.example/");
}

void CombineAndOpenTest::recordHistory() {
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, value);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links));
    QVERIFY(lorvane::record_history(record_key, title.toStdString(), address.toStdString()));
    QCOMPARE(bytes(dir.read_data_file()), bytes(links + history_header + record_key + "=") + value + "\r\n");
}

QTEST_MAIN(CombineAndOpenTest)
#include "combine_and_open_test.moc"
