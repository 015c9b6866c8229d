// Adding links: the quick acceptance and the rules in both orders, each box and answer, what reaches
// the file, the list and the main window's selector; failed writes; the add notice and its modality.

#include "data_dir.h"
#include "links_test_support.h"

#include "app/shared_lists.h"
#include "store/data_file.h"
#include "ui/main/look.h"
#include "ui/main/main_window.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <optional>

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
const QStringList first_link{u"解析一=http://jx.one/?url="_s};
// A history title holding "电视剧" and an address, and the selector at its first item.
const QStringList other_sections{u"[历史记录]"_s,
                                 u"2020年6月17日9时5分3秒=某某电视剧 第1集|https://v.example/play/1.html"_s,
                                 u"[组合框配置]"_s, u"默认选中项=0"_s};

lorvane::Text file_with_links(const QStringList& links) {
    return file_of(QStringList{link_header} + links + other_sections);
}

// "name=address" lines as the list shows them: "number|name|address".
QStringList rows_for(const QStringList& links) {
    QStringList rows;
    for (int i = 0; i < links.size(); ++i) {
        const qsizetype equals = links[i].indexOf(u'=');
        rows << QString::number(i + 1) + u'|' + links[i].left(equals) + u'|' + links[i].mid(equals + 1);
    }
    return rows;
}

QStringList names_of(const QStringList& links) {
    QStringList names;
    for (const QString& link : links) {
        names << link.left(link.indexOf(u'='));
    }
    return names;
}

const QString name_empty = u"information: 显示名称不能为空! [信息：]"_s;
const QString address_empty = u"information: 链接地址不能为空! [信息：]"_s;
const QString bad_name = u"information: 显示名称不能以[开头,也不能包含=或换行! [信息：]"_s;
const QString bad_address = u"information: 链接地址不能包含换行! [信息：]"_s;
const QString name_exists = u"question: 显示名称已存在!是否替换链接内容? [信息：]"_s;
const QString no_scheme = u"information: 链接地址必须是以http://或https://开头的网址内容! [信息：]"_s;
const QString address_exists = u"question: 已存在相同链接地址,是否重复增加? [信息：]"_s;

// The answer given to the box expected.
constexpr int none = 0;
constexpr int ok = 1;
constexpr int cancel = 2;

} // namespace

class LinkAddingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        lorvane::apply_program_look();
        lorvane::test::answer_fetches_with_nothing();
    }
    void init() { MessageBox::clearLog(); }

    void addLink_data();
    void addLink();
    void firstLink_createsFileAndSection();
    void addLink_keepsSelectorAtStoredIndex();
    void failedWrite_reportsAndChangesNothing_data();
    void failedWrite_reportsAndChangesNothing();

    void notice_closesItselfAfterItsTimer();
    void notice_closesOnButtonOrEscapeOnly_data();
    void notice_closesOnButtonOrEscapeOnly();
    void notice_blocksMainWindowButNotManager();
    void addButton_closesManagerOnceHandlerReturned_data();
    void addButton_closesManagerOnceHandlerReturned();
};

void LinkAddingTest::addLink_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("close_after"); // "添加" when true, "连续添加" when false
    QTest::addColumn<int>("answer");       // to the one box expected
    QTest::addColumn<QString>("box");      // empty: no box
    QTest::addColumn<QStringList>("links_after");

    const QStringList unchanged = first_link;
    const auto added = [](const QString& line) { return first_link + QStringList{line}; };
    const QStringList replaced_by_two{u"解析一=https://jx.two/"_s};

    for (const bool close_after : {true, false}) {
        const char* order = close_after ? "添加" : "连续添加";
        const auto row = [order](const char* name) -> QTestData& { return QTest::addRow("%s: %s", order, name); };
        row("quick acceptance") << u"新链接"_s << u"https://jx.new/?u="_s << close_after << none << QString()
                                << added(u"新链接=https://jx.new/?u="_s);
        row("quick acceptance over http") << u"新链接"_s << u"http://jx.new/"_s << close_after << none << QString()
                                          << added(u"新链接=http://jx.new/"_s);
        row("(a) empty name") << QString() << u"https://jx.new/"_s << close_after << ok << name_empty << unchanged;
        row("(a) before (b)") << QString() << QString() << close_after << ok << name_empty << unchanged;
        row("(b) empty address") << u"新链接"_s << QString() << close_after << ok << address_empty << unchanged;
        row("(b) before the name check") << u"a=b"_s << QString() << close_after << ok << address_empty << unchanged;

        // Names the file cannot hold as keys.
        row("name with =") << u"a=b"_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        row("name beginning with [") << u"[新]"_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        row("name beginning with [ after blanks")
            << u"  [新"_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        row("name of blanks") << u"   "_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        row("name with LF") << u"新\n链接"_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        row("name with CR") << u"新\r链接"_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        // "解析一=" occurs in the file: the name check comes before the question about it.
        row("name check before existing name")
            << u"解析一="_s << u"https://jx.new/"_s << close_after << ok << bad_name << unchanged;
        row("name check before address check")
            << u"a=b"_s << u"https://jx\n.new/"_s << close_after << ok << bad_name << unchanged;
        row("address with LF") << u"新链接"_s << u"https://jx.new/\n?u="_s << close_after << ok << bad_address
                               << unchanged;
        row("address with CR LF after an existing name")
            << u"解析一"_s << u"https://jx.two/\r\n"_s << close_after << ok << bad_address << unchanged;

        // (c): the name occurs somewhere in the file.
        row("(c) existing name, OK replaces")
            << u"解析一"_s << u"https://jx.two/"_s << close_after << ok << name_exists << replaced_by_two;
        row("(c) existing name, Cancel") << u"解析一"_s << u"https://jx.two/"_s << close_after << cancel << name_exists
                                         << unchanged;
        row("(c) OK replaces without http") << u"解析一"_s << u"ftp://jx.two/"_s << close_after << ok << name_exists
                                            << QStringList{u"解析一=ftp://jx.two/"_s};
        row("(c) before the address rules")
            << u"解析一"_s << u"jx.one"_s << close_after << ok << name_exists << QStringList{u"解析一=jx.one"_s};
        row("(c) name inside a history title, OK adds") << u"电视剧"_s << u"https://jx.new/"_s << close_after << ok
                                                        << name_exists << added(u"电视剧=https://jx.new/"_s);
        row("(c) name inside a history title, Cancel")
            << u"电视剧"_s << u"https://jx.new/"_s << close_after << cancel << name_exists << unchanged;

        // New names with addresses that lack the beginning or occur in the file.
        row("new address without http") << u"新链接"_s << u"www.jx.new"_s << close_after << ok << no_scheme
                                        << unchanged;
        row("capital HTTP") << u"新链接"_s << u"HTTP://JX.NEW/"_s << close_after << ok << no_scheme << unchanged;
        row("http later in the address") << u"新链接"_s << u"see http://jx.new/"_s << close_after << ok << no_scheme
                                         << unchanged;
        row("existing address, OK adds") << u"新链接"_s << u"http://jx.one/?url="_s << close_after << ok
                                         << address_exists << added(u"新链接=http://jx.one/?url="_s);
        row("existing address, Cancel") << u"新链接"_s << u"http://jx.one/?url="_s << close_after << cancel
                                        << address_exists << unchanged;
        row("part of an existing address") << u"新链接"_s << u"http://jx.one/"_s << close_after << ok << address_exists
                                           << added(u"新链接=http://jx.one/"_s);
        row("part of a history line") << u"新链接"_s << u"https://v.example/play/1"_s << close_after << cancel
                                      << address_exists << unchanged;
    }

    // The one input on which the two orders differ: an existing address without the beginning.
    QTest::newRow("添加: existing address without http is refused")
        << u"新链接"_s << u"jx.one"_s << true << ok << no_scheme << first_link;
    QTest::newRow("连续添加: existing address without http, OK adds")
        << u"新链接"_s << u"jx.one"_s << false << ok << address_exists << added(u"新链接=jx.one"_s);
    QTest::newRow("连续添加: existing address without http, Cancel")
        << u"新链接"_s << u"jx.one"_s << false << cancel << address_exists << first_link;
}

void LinkAddingTest::addLink() {
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(bool, close_after);
    QFETCH(int, answer);
    QFETCH(QString, box);
    QFETCH(QStringList, links_after);

    lorvane::test::DataDir dir;
    const lorvane::Text before = file_with_links(first_link);
    QVERIFY(dir.write_data_file(before));
    Windows windows;
    LinkManagerWindow& manager = windows.manager;
    manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manager));
    manager.编辑框1->setText(name);
    manager.编辑框2->setText(address);
    QCOMPARE(manager.编辑框1->text(), name); // the edit box keeps line breaks set from code
    manager.list_model().set_ticked(0, true);

    if (answer != none) {
        MessageBox::setNextAnswer(answer == ok ? MessageBox::Ok : MessageBox::Cancel);
    }
    ModalAnswerer answerer;
    manager.add_link(close_after);

    QCOMPARE(lorvane::test::logged_boxes(), box.isEmpty() ? QStringList() : QStringList{box});
    QCOMPARE(answerer.shown_boxes(), 0);
    const bool stored = links_after != first_link;
    QCOMPARE(bytes(dir.read_data_file()), bytes(stored ? file_with_links(links_after) : before));
    QCOMPARE(answerer.closed_notices(), stored ? 1 : 0);
    QCOMPARE(rows_of(manager.list_model()), rows_for(links_after));
    // A refill starts unticked; a rejection leaves the list alone.
    QCOMPARE(manager.list_model().is_ticked(0), !stored);
    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), names_of(links_after));
    QCOMPARE(windows.main.组合框1->currentIndex(), 0);
    if (stored) {
        QCOMPARE(lorvane::test::texts_of(lorvane::link_names()), names_of(links_after));
    }
    // The edit boxes are never cleared; "添加" closes the manager once the handler has returned.
    QCOMPARE(manager.编辑框1->text(), name);
    QCOMPARE(manager.编辑框2->text(), address);
    QVERIFY(manager.isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(manager.isVisible(), !(stored && close_after));
}

void LinkAddingTest::firstLink_createsFileAndSection() {
    lorvane::test::DataDir dir;
    Windows windows;
    QCOMPARE(windows.manager.list_model().row_count(), 0);
    windows.manager.编辑框1->setText(u"第一个"_s);
    windows.manager.编辑框2->setText(u"https://jx.first/?url="_s);
    ModalAnswerer answerer;
    windows.manager.add_link(false);

    QVERIFY(MessageBox::log().empty());
    QCOMPARE(bytes(dir.read_data_file()), bytes(file_of({link_header, u"第一个=https://jx.first/?url="_s})));
    QCOMPARE(rows_of(windows.manager.list_model()), QStringList{u"1|第一个|https://jx.first/?url="_s});
    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), QStringList{u"第一个"_s});
    QCOMPARE(windows.main.组合框1->currentIndex(), 0);
    QCOMPARE(answerer.closed_notices(), 1);
}

// The selector shows the new list at the stored index, which names another link once one is added
// before it would have been reached: the index is remembered, not the name.
void LinkAddingTest::addLink_keepsSelectorAtStoredIndex() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_of(
        {link_header, u"甲=http://a.example/"_s, u"乙=http://b.example/"_s, u"[组合框配置]"_s, u"默认选中项=2"_s})));
    Windows windows;
    QCOMPARE(windows.main.组合框1->currentIndex(), 1); // 2 is clamped to the last of two
    windows.manager.编辑框1->setText(u"丙"_s);
    windows.manager.编辑框2->setText(u"http://c.example/"_s);
    ModalAnswerer answerer;
    windows.manager.add_link(false);

    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), (QStringList{u"甲"_s, u"乙"_s, u"丙"_s}));
    QCOMPARE(windows.main.组合框1->currentIndex(), 2);
    QCOMPARE(windows.main.组合框1->currentText(), u"丙"_s);
    QCOMPARE(bytes(lorvane::read_entry(lorvane::selector_section(), lorvane::selector_key())), QByteArray("2"));
}

void LinkAddingTest::failedWrite_reportsAndChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("close_after");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("添加, quick acceptance")
        << u"新链接"_s << u"https://jx.new/"_s << true << QStringList{save_failed_box};
    QTest::newRow("连续添加, quick acceptance")
        << u"新链接"_s << u"https://jx.new/"_s << false << QStringList{save_failed_box};
    QTest::newRow("添加, replacing after OK")
        << u"解析一"_s << u"https://jx.two/"_s << true << QStringList{name_exists, save_failed_box};
}

void LinkAddingTest::failedWrite_reportsAndChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(bool, close_after);
    QFETCH(QStringList, boxes);

    lorvane::test::DataDir dir;
    const lorvane::Text before = file_with_links(first_link);
    QVERIFY(dir.write_data_file(before));
    QVERIFY(lorvane::test::make_read_only(dir));
    Windows windows;
    windows.manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&windows.manager));
    windows.manager.list_model().set_ticked(0, true);
    // Changed behind the selector's back: a refill would show it.
    windows.main.组合框1->addItem(u"stale"_s);
    windows.manager.编辑框1->setText(name);
    windows.manager.编辑框2->setText(address);

    // The first box through the seam, the failure box answered as the user would, on the screen.
    MessageBox::setNextAnswer(MessageBox::Ok);
    ModalAnswerer answerer;
    windows.manager.add_link(close_after);

    QCOMPARE(lorvane::test::logged_boxes(), boxes);
    QCOMPARE(answerer.shown_boxes(), boxes.size() - 1);
    QCOMPARE(answerer.closed_notices(), 0);
    QCOMPARE(bytes(dir.read_data_file()), bytes(before));
    QCOMPARE(rows_of(windows.manager.list_model()), rows_for(first_link));
    QVERIFY(windows.manager.list_model().is_ticked(0));
    QCOMPARE(lorvane::test::items_of(*windows.main.组合框1), (QStringList{u"解析一"_s, u"stale"_s}));
    QCoreApplication::processEvents();
    QVERIFY(windows.manager.isVisible());
}

void LinkAddingTest::notice_closesItselfAfterItsTimer() {
    lorvane::test::DataDir dir;
    Windows windows;
    windows.manager.show();
    windows.manager.编辑框1->setText(u"新链接"_s);
    windows.manager.编辑框2->setText(u"https://jx.new/"_s);

    struct Seen {
        QString title, label, button;
        QRect label_place, button_place;
        QSize size;
        Qt::WindowFlags flags;
        bool timer_running = false;
        int period = 0;
        QWidget* owner = nullptr;
    };
    std::optional<Seen> seen;
    QTimer::singleShot(0, [&] {
        if (lorvane::AddNoticeWindow* notice = lorvane::test::visible_notice()) {
            seen =
                Seen{notice->windowTitle(),     notice->标签1->text(), notice->按钮1->text(), notice->标签1->geometry(),
                     notice->按钮1->geometry(), notice->size(),        notice->windowFlags(), notice->时钟1->isActive(),
                     notice->时钟1->interval(), notice->parentWidget()};
        }
    });
    // Should the notice stay, the guard closes it and the elapsed time shows it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (lorvane::AddNoticeWindow* notice = lorvane::test::visible_notice()) {
            notice->close();
        }
    });
    guard.start(10000);
    QElapsedTimer elapsed;
    elapsed.start();
    windows.manager.add_link(false);
    const qint64 waited = elapsed.elapsed();

    QVERIFY(seen.has_value());
    QCOMPARE(seen->title, u"添加信息:"_s);
    QCOMPARE(seen->label, u"添加成功!"_s);
    QCOMPARE(seen->button, u"确定"_s);
    QCOMPARE(seen->label_place, QRect(48, 8, 80, 24));
    QCOMPARE(seen->button_place, QRect(48, 40, 64, 24));
    QCOMPARE(seen->size, QSize(148, 71));
    QVERIFY(seen->timer_running);
    QCOMPARE(seen->period, 500);
    QCOMPARE(seen->owner, &windows.manager);
    // A title bar, but no system menu and so no close box, and no minimise box either.
    QCOMPARE(seen->flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(seen->flags & Qt::WindowTitleHint);
    QVERIFY(!(seen->flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)));
    // Coarse timers may fire up to 5 % early.
    QVERIFY2(waited >= 475 && waited < 10000, qPrintable(QString::number(waited)));
    QVERIFY(lorvane::test::visible_notice() == nullptr);
}

void LinkAddingTest::notice_closesOnButtonOrEscapeOnly_data() {
    QTest::addColumn<int>("key"); // 0: a click on 确定
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");

    QTest::newRow("确定") << 0 << Qt::KeyboardModifiers() << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << true;
    QTest::newRow("Shift+Esc") << int(Qt::Key_Escape) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false;
}

void LinkAddingTest::notice_closesOnButtonOrEscapeOnly() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);

    lorvane::test::DataDir dir;
    Windows windows;
    windows.manager.show();
    windows.manager.编辑框1->setText(u"新链接"_s);
    windows.manager.编辑框2->setText(u"https://jx.new/"_s);

    std::optional<bool> visible_after;
    QTimer::singleShot(0, [&] {
        lorvane::AddNoticeWindow* notice = lorvane::test::visible_notice();
        if (notice == nullptr) {
            return;
        }
        if (!QTest::qWaitForWindowActive(notice)) {
            return;
        }
        if (key == 0) {
            QTest::mouseClick(notice->按钮1, Qt::LeftButton);
        } else {
            QTest::keyClick(notice->按钮1, Qt::Key(key), modifiers);
        }
        // Asked at once, before the timer could have ticked.
        visible_after = notice->isVisible() && notice->时钟1->isActive();
    });
    windows.manager.add_link(false);

    QVERIFY(visible_after.has_value());
    QCOMPARE(*visible_after, !closes);
}

// While the notice is open the main window takes no clicks, the manager does, and the notice is
// the manager's own window, not a modal one of its own.
void LinkAddingTest::notice_blocksMainWindowButNotManager() {
    lorvane::test::DataDir dir;
    QVERIFY(dir.write_data_file(file_with_links(first_link)));
    MainWindow main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    int main_clicks = 0;
    main.open_link_manager = [&main_clicks] { ++main_clicks; };

    struct Seen {
        bool manager_active_modal = false;
        Qt::WindowModality notice_modality = Qt::ApplicationModal;
        bool notice_with_manager = false;
        int main_clicks = -1;
        QString name_after_list_click;
        bool closed_by_window_click = false;
    };
    std::optional<Seen> seen;
    LinkManagerWindow* manager = nullptr;

    QTimer::singleShot(0, [&] {
        manager = qobject_cast<LinkManagerWindow*>(QApplication::activeModalWidget());
        if (manager == nullptr) {
            return;
        }
        manager->编辑框1->setText(u"新链接"_s);
        manager->编辑框2->setText(u"https://jx.new/"_s);
        QTimer::singleShot(0, [&] {
            lorvane::AddNoticeWindow* notice = lorvane::test::visible_notice();
            if (notice == nullptr || !QTest::qWaitForWindowExposed(notice)) {
                return;
            }
            Seen now;
            now.manager_active_modal = QApplication::activeModalWidget() == manager;
            now.notice_modality = notice->windowModality();
            now.notice_with_manager = notice->windowHandle()->transientParent() == manager->windowHandle();
            // Clicks as the window system delivers them: the blocked main window never gets its own.
            QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {},
                              main.组合打开按钮1->mapTo(&main, main.组合打开按钮1->rect().center()));
            now.main_clicks = main_clicks;
            QTableView& list = *manager->超级列表框1;
            const QPoint on_second_row = list.visualRect(list.model()->index(1, 1)).center();
            QTest::mouseClick(manager->windowHandle(), Qt::LeftButton, {},
                              list.viewport()->mapTo(manager, on_second_row));
            now.name_after_list_click = manager->编辑框1->text();
            QTest::mouseClick(notice->windowHandle(), Qt::LeftButton, {},
                              notice->按钮1->mapTo(notice, notice->按钮1->rect().center()));
            now.closed_by_window_click = !notice->isVisible();
            seen = now;
        });
        manager->连续添加按钮->click();
        manager->close();
    });
    ModalAnswerer guard(ModalAnswerer::Notices::leave);
    lorvane::open_link_manager_window(main);

    QVERIFY(seen.has_value());
    // The manager is gone by now: only what was seen while it lived is compared.
    QVERIFY(seen->manager_active_modal);
    QCOMPARE(seen->notice_modality, Qt::NonModal);
    QVERIFY(seen->notice_with_manager);
    QCOMPARE(seen->main_clicks, 0);
    // The list was refilled with the new link before the notice opened; the click reached it.
    QCOMPARE(seen->name_after_list_click, u"新链接"_s);
    QVERIFY(seen->closed_by_window_click);
    QCOMPARE(guard.shown_boxes(), 0);
}

void LinkAddingTest::addButton_closesManagerOnceHandlerReturned_data() {
    QTest::addColumn<bool>("close_after");
    QTest::newRow("添加 closes") << true;
    QTest::newRow("连续添加 keeps it open") << false;
}

void LinkAddingTest::addButton_closesManagerOnceHandlerReturned() {
    QFETCH(bool, close_after);

    lorvane::test::DataDir dir;
    MainWindow main;
    std::optional<bool> visible_after_click;
    std::optional<bool> visible_after_events;
    QTimer::singleShot(0, [&] {
        auto* manager = qobject_cast<LinkManagerWindow*>(QApplication::activeModalWidget());
        if (manager == nullptr) {
            return;
        }
        manager->编辑框1->setText(u"新链接"_s);
        manager->编辑框2->setText(u"https://jx.new/"_s);
        (close_after ? manager->添加按钮 : manager->连续添加按钮)->click();
        visible_after_click = manager->isVisible();
        QCoreApplication::processEvents();
        visible_after_events = manager->isVisible();
        manager->close();
    });
    ModalAnswerer answerer;
    lorvane::open_link_manager_window(main);

    QCOMPARE(answerer.closed_notices(), 1);
    QCOMPARE(visible_after_click, std::optional<bool>(true));
    QCOMPARE(visible_after_events, std::optional<bool>(!close_after));
    QCOMPARE(lorvane::test::items_of(*main.组合框1), QStringList{u"新链接"_s});
}

QTEST_MAIN(LinkAddingTest)
#include "link_adding_test.moc"
