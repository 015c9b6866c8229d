#pragma once

// What the history window tests share: data files with history lines, reading the rows back, clicks
// as the user makes them, and answering boxes and modal runs that a failing check left open.

#include "data_dir.h"
#include "window_driving.h"

#include "platform/check_list.h"
#include "platform/widget_text.h"
#include "text/gbk.h"
#include "ui/history/history_window.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace lorvane::test {

using namespace Qt::Literals::StringLiterals;

inline QByteArray bytes(const lorvane::Text& text) {
    return QByteArray::fromStdString(text);
}

// A data file with a link, the history lines given (UTF-8 here, GBK in the file, each ended by
// CR LF) and the selector settings after them, so a test sees what stays of the other sections.
inline lorvane::Text data_file(const QStringList& history_lines) {
    lorvane::Text file = lorvane::gbk("[可选组合链接]\r\n甲=http://jx.example/?url=\r\n[历史记录]\r\n");
    for (const QString& line : history_lines) {
        file += lorvane::from_qstring(line) + "\r\n";
    }
    return file + lorvane::gbk("[组合框配置]\r\n默认选中项=0\r\n");
}

// Records A, an odd line without "=", B and C: four rows, the second with an empty key.
inline const QStringList records_with_odd_line{u"2020年6月17日9时=A|http://a.example/"_s, u"odd line"_s,
                                               u"2020年6月17日10时=B|http://b.example/"_s,
                                               u"2020年6月17日11时=C|http://c.example/"_s};

inline QStringList row_cells(const lorvane::HistoryWindow& window, int row) {
    const lorvane::CheckListModel& model = window.records();
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column) {
        cells << model.data(model.index(row, column)).toString();
    }
    return cells;
}

inline QStringList first_column(const lorvane::HistoryWindow& window) {
    QStringList numbers;
    for (int row = 0; row < window.records().row_count(); ++row) {
        numbers << row_cells(window, row).value(0);
    }
    return numbers;
}

inline QStringList keys_of(const lorvane::TextList& keys) {
    QStringList texts;
    for (const lorvane::Text& key : keys) {
        texts << lorvane::to_qstring(key);
    }
    return texts;
}

inline QStringList row_keys(const lorvane::HistoryWindow& window) {
    lorvane::TextList keys;
    for (int row = 0; row < window.records().row_count(); ++row) {
        keys.push_back(window.records().key(row));
    }
    return keys_of(keys);
}

// Clicks a row the way the user does, away from its check box; with Ctrl the row joins the selection.
inline void click_row(QTableView& view, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect cell = view.visualRect(view.model()->index(row, 2));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, cell.center());
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
inline std::unique_ptr<QTimer> modal_watchdog() {
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
inline void close_box_when_shown() {
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        QApplication::activeModalWidget()->close();
    });
}

inline const QString nothing_selected_hint = u"鼠标点击需要选择的那一行即可,无需勾选,勾选是用于批量删除使用!"_s;
inline const QString nothing_selected_title = u"提示:未选中任何一行!"_s;
inline const QString save_failed = u"保存失败,请检查Data文件夹下的URL.ini是否可写!"_s;

} // namespace lorvane::test
