// The main window: start-up over the data file, the link selector and its remembered index, and the
// window's controls, keys and tab order.

#include "data_dir.h"
#include "window_driving.h"

#include "platform/http.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "text/gbk.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using lorvane::gbk;
using lorvane::MainWindow;
using lorvane::Text;

namespace {

QByteArray bytes(const Text& text) {
    return QByteArray::fromStdString(text);
}

// "[可选组合链接]" with `count` links named 链接1, 链接2 …, then "[组合框配置]" holding `stored`
// as "默认选中项" unless `stored` is null.
Text links_file(int count, const char* stored) {
    Text file = gbk("[可选组合链接]\r\n");
    for (int i = 1; i <= count; ++i) {
        file += gbk("链接") + std::to_string(i) + "=http://jx" + std::to_string(i) + ".example/?url=\r\n";
    }
    if (stored != nullptr) {
        file += gbk("[组合框配置]\r\n默认选中项=") + stored + "\r\n";
    }
    return file;
}

QStringList items_of(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

// The control that owns the keyboard focus: the combo box for the field inside it.
QString focused_control(const QWidget& window) {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr && widget != &window;
         widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty() && widget->parentWidget() == &window) {
            return widget->objectName();
        }
    }
    return {};
}

// Picks an item of 组合框1 the way the user does: open the list and click the item.
void pick_from_list(QComboBox& box, int row) {
    box.showPopup();
    QAbstractItemView* list = box.view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    const QRect item = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!list->isVisible());
}

using lorvane::test::show_and_activate;

const QStringList tab_order{u"编辑框1"_s,   u"组合打开按钮"_s, u"组合框1"_s,    u"组合打开按钮1"_s, u"奇艺按钮1"_s,
                            u"腾讯按钮2"_s, u"优酷按钮3"_s,    u"搜狐按钮4"_s,  u"PPTV按钮5"_s,     u"芒果按钮6"_s,
                            u"乐视按钮7"_s, u"土豆按钮8"_s,    u"M1905按钮9"_s, u"监控安防按钮10"_s};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        lorvane::apply_program_look();
        // Every window fetches the announcement while it is made; here the server answers nothing at
        // once, so no test waits on the network and the strip starts empty.
        lorvane::set_fetcher_for_tests([](const lorvane::Text&) { return std::string(); });
    }
    void cleanupTestCase() { lorvane::set_fetcher_for_tests({}); }

    void firstStart_withoutDataFolder_createsFolderAndLeavesSelectorEmpty();
    void start_fillsSelectorWithLinkNamesInFileOrder();
    void fillLinkSelector_leavesNoItemSelected();
    void restoreLinkSelection_data();
    void restoreLinkSelection();
    void userPick_writesItsIndexAtOnce();
    void selectionFromCode_writesNothing();
    void linkManagerButton_runsHookWhenSet();

    void escape_closesWindow_data();
    void escape_closesWindow();
    void tab_runsThroughControlsInOrder();
    void enter_neverPressesAButton();

    void controls_standAtTheirPlaces_data();
    void controls_standAtTheirPlaces();
    void window_hasFixedFrameAndCaption();
    void toolbar_liesAboveLabelWithPictureButton();
    void captions_fitTheirControls();
};

void MainWindowTest::firstStart_withoutDataFolder_createsFolderAndLeavesSelectorEmpty() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.valid());
    QVERIFY(!QFileInfo::exists(dir.data_folder()));

    MainWindow window;
    QVERIFY(QFileInfo(dir.data_folder()).isDir());
    QCOMPARE(window.组合框1->count(), 0);
    QCOMPARE(window.组合框1->currentIndex(), -1);
    QCOMPARE(window.组合框1->currentText(), QString());
    // Nothing was written: the folder stays empty.
    QVERIFY(!QFileInfo::exists(dir.data_file()));
}

void MainWindowTest::start_fillsSelectorWithLinkNamesInFileOrder() {
    lorvane::test::DataDir dir;
    // 乙链接, 甲链接, an entry without a name, PPTV解析 — in GBK, as the file holds them.
    QVERIFY(dir.write_data_file("[\xbf\xc9\xd1\xa1\xd7\xe9\xba\xcf\xc1\xb4\xbd\xd3]\r\n"
                                "\xd2\xd2\xc1\xb4\xbd\xd3=http://b.example/?u=\r\n"
                                "\xbc\xd7\xc1\xb4\xbd\xd3=http://a.example/?u=\r\n"
                                "=http://empty.example/\r\n"
                                "PPTV\xbd\xe2\xce\xf6=http://p.example/\r\n"
                                "[\xd7\xe9\xba\xcf\xbf\xf2\xc5\xe4\xd6\xc3]\r\n"
                                "\xc4\xac\xc8\xcf\xd1\xa1\xd6\xd0\xcf\xee=1\r\n"));
    MainWindow window;
    QCOMPARE(items_of(*window.组合框1), (QStringList{u"乙链接"_s, u"甲链接"_s, QString(), u"PPTV解析"_s}));
    QCOMPARE(window.组合框1->currentIndex(), 1);
    QCOMPARE(window.组合框1->currentText(), u"甲链接"_s);
}

void MainWindowTest::fillLinkSelector_leavesNoItemSelected() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links_file(3, "1")));
    MainWindow window;
    QCOMPARE(window.组合框1->currentIndex(), 1);

    QVERIFY(dir.write_data_file(links_file(2, "1")));
    window.fill_link_selector();
    QCOMPARE(window.组合框1->count(), 2);
    QCOMPARE(window.组合框1->currentIndex(), -1);
    QCOMPARE(window.组合框1->currentText(), QString());
}

void MainWindowTest::restoreLinkSelection_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("selected");

    const auto row = [](const char* name, const Text& file, int items, int selected) {
        QTest::newRow(name) << bytes(file) << items << selected;
    };
    row("2 of three links selects the third", links_file(3, "2"), 3, 2);
    row("2 of two links is clamped to the second", links_file(2, "2"), 2, 1);
    row("2 of one link lies beyond it: the first", links_file(1, "2"), 1, 0);
    row("index equal to the count selects the last", links_file(3, "3"), 3, 2);
    row("index beyond the count selects the first", links_file(3, "4"), 3, 0);
    row("not a number reads as 0", links_file(3, "abc"), 3, 0);
    row("digits after a blank", links_file(3, " 1"), 3, 1);
    row("full-width digit", links_file(3, "\xa3\xb2"), 3, 2);
    row("negative index selects none", links_file(3, "-1"), 3, -1);
    row("no stored index selects the first", links_file(3, nullptr), 3, 0);
    row("stored index without links selects none", gbk("[组合框配置]\r\n默认选中项=2\r\n"), 0, -1);
    row("empty file", Text(), 0, -1);
}

void MainWindowTest::restoreLinkSelection() {
    QFETCH(QByteArray, file);
    QFETCH(int, items);
    QFETCH(int, selected);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file.toStdString()));
    MainWindow window;
    QCOMPARE(window.组合框1->count(), items);
    QCOMPARE(window.组合框1->currentIndex(), selected);
    // The field shows the selected item's text.
    QCOMPARE(window.组合框1->currentText(), selected < 0 ? QString() : window.组合框1->itemText(selected));

    // Text typed into the field does not survive a restore.
    window.组合框1->setEditText(u"typed"_s);
    window.restore_link_selection();
    QCOMPARE(window.组合框1->currentIndex(), selected);
    QCOMPARE(window.组合框1->currentText(), selected < 0 ? QString() : window.组合框1->itemText(selected));
}

void MainWindowTest::userPick_writesItsIndexAtOnce() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links_file(3, "0")));
    MainWindow window;
    QVERIFY(show_and_activate(window));

    pick_from_list(*window.组合框1, 2);
    QCOMPARE(window.组合框1->currentIndex(), 2);
    QCOMPARE(bytes(lorvane::read_entry(lorvane::selector_section(), lorvane::selector_key())), QByteArray("2"));

    // Picking the same item again writes again, even though the selection does not change.
    QVERIFY(lorvane::write_entry(lorvane::selector_section(), lorvane::selector_key(), "7"));
    pick_from_list(*window.组合框1, 2);
    QCOMPARE(bytes(lorvane::read_entry(lorvane::selector_section(), lorvane::selector_key())), QByteArray("2"));

    // The arrow keys in the field pick the next item, as the list does.
    window.组合框1->setFocus();
    QTest::keyClick(window.组合框1, Qt::Key_Up);
    QCOMPARE(bytes(lorvane::read_entry(lorvane::selector_section(), lorvane::selector_key())), QByteArray("1"));
}

void MainWindowTest::selectionFromCode_writesNothing() {
    lorvane::test::DataDir dir;
    const Text file = links_file(3, "1");
    QVERIFY(dir.write_data_file(file));
    MainWindow window;
    window.fill_link_selector();
    window.restore_link_selection();
    window.组合框1->setCurrentIndex(2);
    window.prepare_main_window();
    QCOMPARE(bytes(dir.read_data_file()), bytes(file));
}

void MainWindowTest::linkManagerButton_runsHookWhenSet() {
    lorvane::test::DataDir dir;
    MainWindow window;
    window.组合打开按钮1->click(); // no link manager yet: nothing happens

    int opened = 0;
    window.open_link_manager = [&opened] { ++opened; };
    window.组合打开按钮1->click();
    QCOMPARE(opened, 1);
}

void MainWindowTest::escape_closesWindow_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");

    QTest::newRow("from the edit box") << u"编辑框1"_s << Qt::KeyboardModifiers() << true;
    QTest::newRow("from the selector") << u"组合框1"_s << Qt::KeyboardModifiers() << true;
    QTest::newRow("from a button") << u"奇艺按钮1"_s << Qt::KeyboardModifiers() << true;
    QTest::newRow("Shift+Esc") << u"编辑框1"_s << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Esc") << u"组合框1"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("Alt+Esc") << u"编辑框1"_s << Qt::KeyboardModifiers(Qt::AltModifier) << false;
}

void MainWindowTest::escape_closesWindow() {
    QFETCH(QString, focus);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);

    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links_file(2, "0")));
    MainWindow window;
    QVERIFY(show_and_activate(window));
    auto* target = window.findChild<QWidget*>(focus);
    QVERIFY(target != nullptr);
    target->setFocus();
    QTRY_COMPARE(focused_control(window), focus);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, modifiers);
    QCOMPARE(window.isVisible(), !closes);
}

void MainWindowTest::tab_runsThroughControlsInOrder() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(links_file(2, "0")));
    MainWindow window;
    QVERIFY(show_and_activate(window));
    window.编辑框1->setFocus();
    QTRY_COMPARE(focused_control(window), u"编辑框1"_s);

    QStringList visited{focused_control(window)};
    for (int i = 0; i < tab_order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focused_control(window);
    }
    // Round the whole chain and back to the edit box.
    QCOMPARE(visited, tab_order + QStringList{u"编辑框1"_s});
}

void MainWindowTest::enter_neverPressesAButton() {
    lorvane::test::DataDir dir;
    MainWindow window;
    QVERIFY(show_and_activate(window));
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        QSignalSpy clicks(button, &QPushButton::clicked);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter);
        QVERIFY2(clicks.isEmpty(), qPrintable(button->objectName()));
    }

    // In the edit box Enter starts a new line.
    window.编辑框1->setFocus();
    QTest::keyClicks(window.编辑框1, u"ab"_s);
    QTest::keyClick(window.编辑框1, Qt::Key_Return);
    QTest::keyClicks(window.编辑框1, u"cd"_s);
    QCOMPARE(window.编辑框1->toPlainText(), u"ab\ncd"_s);
    QVERIFY(window.isVisible());
}

void MainWindowTest::controls_standAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("caption");

    QTest::newRow("标签1") << u"标签1"_s << QRect(16, 0, 96, 24) << u"被组合链接:"_s;
    QTest::newRow("工具条_网页") << u"工具条_网页"_s << QRect(88, 0, 48, 24) << QString();
    QTest::newRow("编辑框1") << u"编辑框1"_s << QRect(8, 24, 520, 88) << QString();
    QTest::newRow("组合打开按钮") << u"组合打开按钮"_s << QRect(536, 24, 152, 32) << u"组合全屏打开"_s;
    QTest::newRow("组合打开按钮1") << u"组合打开按钮1"_s << QRect(536, 73, 152, 32) << u"默认链接设置"_s;
    QTest::newRow("标签2") << u"标签2"_s << QRect(8, 112, 144, 40) << u"在线影视直达快捷方式:"_s;
    QTest::newRow("标签4") << u"标签4"_s << QRect(392, 112, 88, 40) << u"默认组合链接:"_s;
    QTest::newRow("组合框1") << u"组合框1"_s << QRect(490, 122, 198, 20) << QString();
    QTest::newRow("奇艺按钮1") << u"奇艺按钮1"_s << QRect(8, 160, 128, 40) << u"奇艺视频"_s;
    QTest::newRow("腾讯按钮2") << u"腾讯按钮2"_s << QRect(144, 160, 128, 40) << u"腾讯视频"_s;
    QTest::newRow("优酷按钮3") << u"优酷按钮3"_s << QRect(280, 160, 128, 40) << u"优酷视频"_s;
    QTest::newRow("搜狐按钮4") << u"搜狐按钮4"_s << QRect(416, 160, 128, 40) << u"搜狐视频"_s;
    QTest::newRow("PPTV按钮5") << u"PPTV按钮5"_s << QRect(552, 160, 128, 40) << u"PPTV视频"_s;
    QTest::newRow("芒果按钮6") << u"芒果按钮6"_s << QRect(8, 216, 128, 40) << u"芒果视频"_s;
    QTest::newRow("乐视按钮7") << u"乐视按钮7"_s << QRect(144, 216, 128, 40) << u"乐视视频"_s;
    QTest::newRow("土豆按钮8") << u"土豆按钮8"_s << QRect(280, 216, 128, 40) << u"土豆视频"_s;
    QTest::newRow("M1905按钮9") << u"M1905按钮9"_s << QRect(416, 216, 128, 40) << u"M1905视频"_s;
    QTest::newRow("监控安防按钮10") << u"监控安防按钮10"_s << QRect(552, 216, 128, 40) << u"监控安防"_s;
    // Its first text "透明标签" gives way to the announcement before the window is shown: none here.
    QTest::newRow("透明标签1") << u"透明标签1"_s << QRect(0, 264, 1880, 20) << QString();
}

void MainWindowTest::controls_standAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, caption);

    lorvane::test::DataDir dir;
    MainWindow window;
    auto* control = window.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), &window);
    QCOMPARE(control->geometry(), place);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QVERIFY(!label->wordWrap());
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
    }
}

void MainWindowTest::window_hasFixedFrameAndCaption() {
    lorvane::test::DataDir dir;
    MainWindow window;
    QCOMPARE(window.windowTitle(), u"Lorvane V2020  Quenmoor-作者:Tavrik"_s);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!window.windowIcon().isNull());

    // Every control lies inside the client area, except the announcement strip, which is wider.
    const QRect client = window.rect();
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != window.透明标签1) {
            QVERIFY2(client.contains(control->geometry()), qPrintable(control->objectName()));
        }
    }
    QVERIFY(client.bottom() >= window.透明标签1->geometry().bottom());

    const QTimer* clock = window.findChild<QTimer*>(u"时钟1"_s);
    QVERIFY(clock != nullptr);
    QCOMPARE(clock->interval(), 20);
    QVERIFY(clock->isActive());

    QVERIFY(window.编辑框1->lineWrapMode() == QPlainTextEdit::WidgetWidth);
    QCOMPARE(window.编辑框1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(window.组合框1->isEditable());
    QCOMPARE(window.组合框1->insertPolicy(), QComboBox::NoInsert);
}

void MainWindowTest::toolbar_liesAboveLabelWithPictureButton() {
    lorvane::test::DataDir dir;
    MainWindow window;
    // The toolbar covers the right end of the label's box.
    QWidget* at_overlap = window.childAt(QPoint(100, 12));
    QVERIFY(at_overlap != nullptr);
    QVERIFY(at_overlap == window.工具条_网页 || window.工具条_网页->isAncestorOf(at_overlap));

    QCOMPARE(window.工具条_网页->actions().size(), 1);
    QAction* action = window.工具条_网页->actions().first();
    QCOMPARE(action, window.browse_action);
    QVERIFY(action->text().isEmpty());
    QVERIFY(action->toolTip().isEmpty());
    QCOMPARE(window.工具条_网页->iconSize(), QSize(40, 20));
    QVERIFY(!action->icon().isNull());
    QCOMPARE(window.工具条_网页->palette().color(QPalette::Window), QColor(232, 232, 232));

    auto* button = qobject_cast<QToolButton*>(window.工具条_网页->widgetForAction(action));
    QVERIFY(button != nullptr);
    QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    // The picture is shown at its full size, not shrunk to fit the bar: its 18-pixel globe spans
    // 18 rows of the button.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.工具条_网页->rect().contains(button->geometry()));
    const QImage face = button->grab().toImage();
    int globe_rows = 0;
    for (int y = 0; y < face.height(); ++y) {
        bool blue = false;
        for (int x = 0; x < face.width() && !blue; ++x) {
            const QColor pixel = face.pixelColor(x, y);
            blue = pixel.blue() > pixel.red() + 60;
        }
        globe_rows += blue ? 1 : 0;
    }
    QVERIFY2(globe_rows >= 17, qPrintable(QString::number(globe_rows)));
    QSignalSpy triggered(action, &QAction::triggered);
    button->click();
    QCOMPARE(triggered.size(), 1);
}

void MainWindowTest::captions_fitTheirControls() {
    lorvane::test::DataDir dir;
    MainWindow window;
    QVERIFY(show_and_activate(window));

    const QFontInfo font(window.font());
    QVERIFY2(font.family().contains(u"WenQuanYi"_s), qPrintable(font.family()));
    QCOMPARE(font.pixelSize(), 12);

    for (QLabel* label : window.findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        int room = label->contentsRect().width();
        if (label == window.标签1) {
            room = window.工具条_网页->x() - label->x(); // the toolbar covers the rest
        }
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= room, qPrintable(label->objectName()));
        QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        // The style's own margins around the text included.
        const QSize needed = button->sizeHint();
        QVERIFY2(needed.width() <= button->width() && needed.height() <= button->height(),
                 qPrintable(button->objectName()));
    }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
