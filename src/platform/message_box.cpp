#include "platform/message_box.h"

#include "platform/widget_text.h"
#include "text/gbk.h"

#include <QMessageBox>
#include <QPushButton>

#include <optional>
#include <utility>

namespace lorvane {

namespace {

std::optional<MessageBox::Answer>& next_answer() {
    static std::optional<MessageBox::Answer> answer;
    return answer;
}

std::vector<MessageBox::Record>& records() {
    static std::vector<MessageBox::Record> log;
    return log;
}

QMessageBox::Icon icon_of(MessageBox::Kind kind) {
    switch (kind) {
    case MessageBox::Kind::information:
        return QMessageBox::Information;
    case MessageBox::Kind::warning:
        return QMessageBox::Warning;
    case MessageBox::Kind::question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Shows the box, or takes the answer a test has set, and tells whether OK was chosen.
bool ask(MessageBox::Kind kind, const Text& text, const Text& title) {
    const Text& shown_title = title.empty() ? MessageBox::default_title() : title;
    records().push_back({kind, text, shown_title});

    if (const std::optional<MessageBox::Answer> answer = std::exchange(next_answer(), std::nullopt)) {
        return *answer == MessageBox::Ok;
    }

    const bool with_cancel = kind != MessageBox::Kind::information;
    const QMessageBox::StandardButtons buttons =
        with_cancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(icon_of(kind), to_qstring(shown_title), to_qstring(text), buttons);
    box.setWindowModality(Qt::ApplicationModal);
    // No Qt translation is loaded, so the buttons are named here, in the program's own language.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    if (with_cancel) {
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    }
    // The close box and Esc both press the escape button, so they abandon just as Cancel does.
    box.setEscapeButton(with_cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

} // namespace

void MessageBox::information(const Text& text, const Text& title) {
    ask(Kind::information, text, title);
}

bool MessageBox::warning(const Text& text, const Text& title) {
    return ask(Kind::warning, text, title);
}

bool MessageBox::question(const Text& text, const Text& title) {
    return ask(Kind::question, text, title);
}

const Text& MessageBox::default_title() {
    static const Text title = gbk("信息：");
    return title;
}

void MessageBox::setNextAnswer(Answer answer) {
    next_answer() = answer;
}

const std::vector<MessageBox::Record>& MessageBox::log() {
    return records();
}

void MessageBox::clearLog() {
    records().clear();
}

} // namespace lorvane
