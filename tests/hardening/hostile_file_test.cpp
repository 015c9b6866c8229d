// The program over hostile data files (see hostile_files.cpp): start-up, the selector, both windows,
// adding a link and recording history. None may crash or hang; each shows what can be read, reports
// what cannot be written, and leaves every line it does not change byte for byte as it was.

#include "hostile_files.h"
#include "line_check.h"

#include "data_dir.h"

#include "platform/check_list.h"
#include "platform/http.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/section_keys.h"
#include "text/gbk.h"
#include "ui/history/history_window.h"
#include "ui/links/add_notice.h"
#include "ui/links/link_manager.h"
#include "ui/main/combine.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace lorvane {
namespace {

using test::HostileFile;

// No step over any of these files may take longer; the slowest, the fifty-megabyte line under the
// sanitizers, takes a few seconds.
constexpr qint64 step_limit_ms = 60'000;
constexpr int closer_period_ms = 10;

const QString new_link_name = u"hostile-link"_s;
const Text new_link_address = "https://hostile.example/?url=";
const Text history_address = "https://v.example/hostile";

// Root reads any file, whatever its mode. Without these two capabilities in the effective set of
// this thread (the GUI thread, where the program makes every file access) the mode bits count for
// root as for anyone else; they stay permitted, so they come back afterwards.
class WithoutFileOverride {
public:
    explicit WithoutFileOverride(bool active) : active_(active) {
        if (active_ && get(saved_)) {
            __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
            constexpr unsigned overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
            lowered[0].effective &= ~overrides;
            active_ = set(lowered);
        }
    }
    ~WithoutFileOverride() {
        if (active_) {
            set(saved_);
        }
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

private:
    static bool get(__user_cap_data_struct* data) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capget, &header, data) == 0;
    }
    static bool set(__user_cap_data_struct* data) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capset, &header, data) == 0;
    }

    bool active_;
    __user_cap_data_struct saved_[2] = {};
};

// While it lives: OK in every message box that is really shown, "确定" in every add notice.
class Answerer {
public:
    Answerer() {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                    ok->click();
                }
            }
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* notice = qobject_cast<AddNoticeWindow*>(window); notice != nullptr && notice->isVisible()) {
                    notice->按钮1->click();
                }
            }
        });
        timer_.start(0);
    }

private:
    QTimer timer_;
};

// Runs `open` (a modal window's public opening function) and closes the window once it shows;
// the number of rows it showed, or -1 when it never came up.
template <typename Window> int rows_shown(const std::function<void()>& open, int (*rows)(Window&)) {
    int shown = -1;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            shown = rows(*window);
            window->close();
        }
    });
    closer.start(closer_period_ms);
    open();
    return shown;
}

int link_rows(LinkManagerWindow& window) {
    return window.list_model().row_count();
}

int history_rows(HistoryWindow& window) {
    return window.records().row_count();
}

QStringList items_of(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

QStringList texts_of(const TextList& list) {
    QStringList texts;
    for (const Text& text : list) {
        texts << to_qstring(text);
    }
    return texts;
}

bool failure_reported() {
    for (const MessageBox::Record& box : MessageBox::log()) {
        if (to_qstring(box.text).startsWith(u"保存失败"_s)) {
            return true;
        }
    }
    return false;
}

// Puts the hostile file in place; false when the test could not.
bool place(const HostileFile& file, const test::DataDir& dir) {
    switch (file.kind) {
    case HostileFile::Kind::directory:
        return QDir().mkpath(dir.data_file());
    case HostileFile::Kind::unreadable:
        return dir.write_data_file(file.bytes) && QFile::setPermissions(dir.data_file(), {});
    case HostileFile::Kind::bytes:
        break;
    }
    return dir.write_data_file(file.bytes);
}

// The file before and after one write: only whole lines were put in, among them `line`.
void check_only_added(const Text& before, const Text& after, const Text& line) {
    const auto added = test::added_lines(before, after);
    QVERIFY2(added.has_value(), "a line the write did not change was altered");
    QVERIFY2(std::find(added->begin(), added->end(), line) != added->end(), "the written line is missing");
    QVERIFY(added->size() <= 2); // the entry, and its section's header when it was new
}

} // namespace

class HostileFileTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        set_fetcher_for_tests([](const Text&) { return std::string(); });
        set_browser_opener_for_tests([](const Text&) {});
        MessageBox::clearLog();
    }
    void cleanup() {
        set_fetcher_for_tests({});
        set_browser_opener_for_tests({});
    }

    void everyStepEndsAndKeepsWhatItDoesNotChange_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < test::hostile_files().size(); ++i) {
            QTest::newRow(test::hostile_files()[i].name) << static_cast<int>(i);
        }
    }

    void everyStepEndsAndKeepsWhatItDoesNotChange() {
        QFETCH(int, index);
        const HostileFile& file = test::hostile_files()[static_cast<std::size_t>(index)];
        const test::DataDir dir;
        QVERIFY(dir.valid());
        QVERIFY(place(file, dir));
        const Answerer answerer;
        QElapsedTimer step;
        const auto bounded = [&](const char* what) {
            qInfo("%s: %lld ms", what, static_cast<long long>(step.elapsed()));
            QVERIFY2(step.elapsed() < step_limit_ms, what);
            step.restart();
        };
        {
            const WithoutFileOverride as_anyone(file.kind == HostileFile::Kind::unreadable);

            step.start();
            MainWindow main;
            bounded("start-up");
            QCOMPARE(items_of(*main.组合框1), file.links);

            QCOMPARE(rows_shown<LinkManagerWindow>([&] { open_link_manager_window(main); }, link_rows),
                     static_cast<int>(file.links.size()));
            bounded("the link manager");
            QCOMPARE(rows_shown<HistoryWindow>([&] { open_history_window(main); }, history_rows), file.history_rows);
            bounded("the history window");

            const Text before_link = dir.read_data_file();
            LinkManagerWindow manager(main);
            manager.编辑框1->setText(new_link_name);
            manager.编辑框2->setText(to_qstring(new_link_address));
            manager.add_link(false);
            bounded("adding a link");
            const Text after_link = dir.read_data_file();

            const Text stamp = gbk("2024年1月2日3时4分5秒");
            const bool recorded = record_history(stamp, gbk("标题"), history_address);
            bounded("recording history");
            const Text after_history = dir.read_data_file();

            QCOMPARE(failure_reported(), !file.writable);
            QCOMPARE(recorded, file.writable);
            if (file.writable) {
                check_only_added(before_link, after_link,
                                 from_qstring(new_link_name) + "=" + new_link_address + "\r\n");
                check_only_added(after_link, after_history, stamp + "=" + gbk("标题") + "|" + history_address + "\r\n");
                QCOMPARE(read_entry(link_section(), from_qstring(new_link_name)), new_link_address);
                QCOMPARE(read_entry(history_section(), stamp), gbk("标题") + "|" + history_address);
            }
            // The selector shows what can be read now, whether the new link is within it or not.
            QCOMPARE(items_of(*main.组合框1), texts_of(list_section_keys(section_header(link_section()))));
        }
        // With its access back, the test finds a file that could not be written exactly as it was.
        if (!file.writable) {
            QCOMPARE(dir.read_data_file(), file.bytes);
            QCOMPARE(QFileInfo(dir.data_file()).isDir(), file.kind == HostileFile::Kind::directory);
        }
    }
};

} // namespace lorvane

QTEST_MAIN(lorvane::HostileFileTest)
#include "hostile_file_test.moc"
