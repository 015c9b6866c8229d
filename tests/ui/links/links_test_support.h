#pragma once

// What the link manager's tests share: data files written line by line, the list's rows and the
// message boxes as readable text, and a guard that answers whatever modal window a test did not
// expect, so that a fault shows as a failed comparison instead of a test that hangs.

#include "platform/check_list.h"
#include "platform/http.h"
#include "platform/message_box.h"
#include "platform/widget_text.h"
#include "text/gbk.h"
#include "ui/links/add_notice.h"
#include "ui/links/link_manager.h"
#include "ui/main/main_window.h"

#include "data_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <string>

namespace lorvane::test {

using namespace Qt::Literals::StringLiterals;

inline QByteArray bytes(const Text& text) {
    return QByteArray::fromStdString(text);
}

// The lines (UTF-8 here, GBK in the file), each ended by CR LF.
inline Text file_of(const QStringList& lines) {
    Text file;
    for (const QString& line : lines) {
        file += from_qstring(line) + "\r\n";
    }
    return file;
}

// Each row of the list as "number|name|address".
inline QStringList rows_of(const CheckListModel& model) {
    QStringList rows;
    for (int row = 0; row < model.row_count(); ++row) {
        rows << to_qstring(model.cell(row, 0)) + u'|' + to_qstring(model.cell(row, 1)) + u'|' +
                    to_qstring(model.cell(row, 2));
    }
    return rows;
}

inline QStringList texts_of(const TextList& list) {
    QStringList texts;
    for (const Text& text : list) {
        texts << to_qstring(text);
    }
    return texts;
}

inline QStringList items_of(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

// Every box asked for since the log was last cleared, as "kind: text [title]".
inline QStringList logged_boxes() {
    QStringList boxes;
    for (const MessageBox::Record& box : MessageBox::log()) {
        const char* kind = box.kind == MessageBox::Kind::information ? "information"
                           : box.kind == MessageBox::Kind::warning   ? "warning"
                                                                     : "question";
        boxes << QString::fromLatin1(kind) + u": "_s + to_qstring(box.text) + u" ["_s + to_qstring(box.title) + u']';
    }
    return boxes;
}

inline AddNoticeWindow* visible_notice() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* notice = qobject_cast<AddNoticeWindow*>(window); notice != nullptr && notice->isVisible()) {
            return notice;
        }
    }
    return nullptr;
}

// While it lives: presses OK in every message box that is really shown (one the seam was not told
// to answer) and, unless told to leave them, "确定" in every add notice. It counts both, and the
// seam's log still records every box, so nothing it answers goes unseen.
class ModalAnswerer {
public:
    enum class Notices { close, leave };

    explicit ModalAnswerer(Notices notices = Notices::close) : notices_(notices) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(0);
    }

    int shown_boxes() const { return shown_boxes_; }
    int closed_notices() const { return closed_notices_; }

private:
    void answer() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ++shown_boxes_;
                ok->click();
            }
            return;
        }
        if (notices_ == Notices::close) {
            if (AddNoticeWindow* notice = visible_notice()) {
                ++closed_notices_;
                notice->按钮1->click();
            }
        }
    }

    Notices notices_;
    QTimer timer_;
    int shown_boxes_ = 0;
    int closed_notices_ = 0;
};

// The main window and the manager over it, both built on the data file as it is.
struct Windows {
    MainWindow main;
    LinkManagerWindow manager{main};
};

// Without its owner-write bit the data file refuses every write, for root too.
inline bool make_read_only(const DataDir& dir) {
    return QFile::setPermissions(dir.data_file(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

inline const QString save_failed_box = u"information: 保存失败,请检查Data文件夹下的URL.ini是否可写! [信息：]"_s;

// The main window fetches nothing from the network in these tests.
inline void answer_fetches_with_nothing() {
    set_fetcher_for_tests([](const Text&) { return std::string(); });
}

} // namespace lorvane::test
