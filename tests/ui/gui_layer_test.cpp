// The thin layer over the widgets: the text crossing, the message-box seam, the check list and the
// program's pictures.

#include "platform/app_icon.h"
#include "platform/check_list.h"
#include "platform/message_box.h"
#include "platform/widget_text.h"
#include "text/gbk.h"
#include "ui/main/look.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using lorvane::MessageBox;

namespace {

QByteArray bytes(const lorvane::Text& text) {
    return QByteArray::fromStdString(text);
}

enum class Close { ok_button, cancel_button, escape, enter, close_box };

struct SeenBox {
    bool found = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString title;
    QString text;
    Qt::WindowModality modality = Qt::NonModal;
    bool has_owner = true;
    QStringList button_texts;
};

// Waits for the message box to come up, notes how it looks, and closes it the way a user would.
void close_box_when_shown(SeenBox& seen, Close how) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, how] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        seen = {true,        box->icon(),           box->standardButtons(),  box->windowTitle(),
                box->text(), box->windowModality(), box->parent() != nullptr, {}};
        for (QAbstractButton* button : box->buttons()) {
            seen.button_texts.append(button->text());
        }
        seen.button_texts.sort();
        switch (how) {
        case Close::ok_button:
            box->button(QMessageBox::Ok)->click();
            break;
        case Close::cancel_button:
            box->button(QMessageBox::Cancel)->click();
            break;
        case Close::escape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case Close::enter:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        case Close::close_box:
            box->close();
            break;
        }
    });
    poll->start();
}

std::vector<lorvane::CheckListRow> numbered_rows(int count) {
    std::vector<lorvane::CheckListRow> rows;
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        rows.push_back({"key" + n, {n, "name" + n, "http://" + n}});
    }
    return rows;
}

QStringList first_column(const lorvane::CheckListModel& model) {
    QStringList texts;
    for (int row = 0; row < model.row_count(); ++row) {
        texts << lorvane::to_qstring(model.cell(row, 0));
    }
    return texts;
}

const std::vector<lorvane::CheckListColumn> history_columns() {
    return {{lorvane::gbk("序号"), 50}, {lorvane::gbk("浏览日期"), 150}, {lorvane::gbk("网页标题"), 239}};
}

} // namespace

class GuiLayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lorvane::apply_program_look(); }
    void init() { MessageBox::clearLog(); }

    void widgetText_convertsGbkBothWays_data();
    void widgetText_convertsGbkBothWays();
    void widgetText_unconvertible_becomesPlaceholder();

    void messageBox_nextAnswer_answersOnceWithoutShowing();
    void messageBox_shownBox_data();
    void messageBox_shownBox();

    void checkList_tickedRowsAndRemoval_keepNumbers();
    void checkList_removeRows_data();
    void checkList_removeRows();
    void checkList_clickOnCheckBox_ticksRow();
    void checkList_currentRow_isFirstSelectedRow();
    void checkList_setup_looksAsDrawn();

    void appIcon_hasEverySizeDrawn();
    void browsePicture_is40By20AndDrawn();
};

void GuiLayerTest::widgetText_convertsGbkBothWays_data() {
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QByteArray>("gbk");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii address") << u"http://a.example/?v=1&x=2"_s << QByteArray("http://a.example/?v=1&x=2");
    QTest::newRow("two-byte characters") << u"浏览"_s << QByteArray("\xe4\xaf\xc0\xc0");
    QTest::newRow("full-width colon") << u"信息："_s << QByteArray("\xd0\xc5\xcf\xa2\xa3\xba");
    QTest::newRow("mixed") << u"PPTV解析"_s << QByteArray("PPTV\xbd\xe2\xce\xf6");
}

void GuiLayerTest::widgetText_convertsGbkBothWays() {
    QFETCH(QString, widget);
    QFETCH(QByteArray, gbk);
    QCOMPARE(lorvane::to_qstring(gbk.toStdString()), widget);
    QCOMPARE(bytes(lorvane::from_qstring(widget)), gbk);
}

void GuiLayerTest::widgetText_unconvertible_becomesPlaceholder() {
    // A character GBK lacks is stored as "?"; a byte that starts no GBK character shows as U+FFFD.
    QCOMPARE(bytes(lorvane::from_qstring(u"a\U0001F600b"_s)), QByteArray("a?b"));
    QCOMPARE(lorvane::to_qstring("a\xff"), u"a\uFFFD"_s);
}

void GuiLayerTest::messageBox_nextAnswer_answersOnceWithoutShowing() {
    MessageBox::setNextAnswer(MessageBox::Ok);
    QVERIFY(MessageBox::question(lorvane::gbk("替换?")));
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    MessageBox::setNextAnswer(MessageBox::Cancel);
    QVERIFY(!MessageBox::warning(lorvane::gbk("删除?"), lorvane::gbk("删除选中项操作")));

    // The answer was used up: this box is really shown, and Esc abandons it.
    SeenBox seen;
    close_box_when_shown(seen, Close::escape);
    QVERIFY(!MessageBox::question(lorvane::gbk("再问")));
    QVERIFY(seen.found);

    const std::vector<MessageBox::Record>& log = MessageBox::log();
    QCOMPARE(log.size(), std::size_t{3});
    QVERIFY(log[0].kind == MessageBox::Kind::question);
    QCOMPARE(bytes(log[0].text), bytes(lorvane::gbk("替换?")));
    QCOMPARE(bytes(log[0].title), QByteArray("\xd0\xc5\xcf\xa2\xa3\xba")); // 信息：
    QVERIFY(log[1].kind == MessageBox::Kind::warning);
    QCOMPARE(bytes(log[1].title), bytes(lorvane::gbk("删除选中项操作")));
    QCOMPARE(bytes(log[2].text), bytes(lorvane::gbk("再问")));

    MessageBox::clearLog();
    QVERIFY(MessageBox::log().empty());
}

void GuiLayerTest::messageBox_shownBox_data() {
    QTest::addColumn<MessageBox::Kind>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<Close>("close");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<bool>("confirmed");

    const int ok = QMessageBox::Ok;
    const int ok_cancel = QMessageBox::Ok | QMessageBox::Cancel;
    const QString none;
    QTest::newRow("information, default title") << MessageBox::Kind::information << none << Close::ok_button
                                                << int(QMessageBox::Information) << ok << u"信息："_s << true;
    QTest::newRow("information, own title, Esc")
        << MessageBox::Kind::information << u"提示:未选中任何一行!"_s << Close::escape << int(QMessageBox::Information)
        << ok << u"提示:未选中任何一行!"_s << true;
    QTest::newRow("warning, OK") << MessageBox::Kind::warning << u"危险的清空操作"_s << Close::ok_button
                                 << int(QMessageBox::Warning) << ok_cancel << u"危险的清空操作"_s << true;
    QTest::newRow("warning, Cancel") << MessageBox::Kind::warning << u"危险的清空操作"_s << Close::cancel_button
                                     << int(QMessageBox::Warning) << ok_cancel << u"危险的清空操作"_s << false;
    QTest::newRow("warning, close box") << MessageBox::Kind::warning << u"删除选中项操作"_s << Close::close_box
                                        << int(QMessageBox::Warning) << ok_cancel << u"删除选中项操作"_s << false;
    QTest::newRow("question, Esc") << MessageBox::Kind::question << none << Close::escape << int(QMessageBox::Question)
                                   << ok_cancel << u"信息："_s << false;
    QTest::newRow("question, OK") << MessageBox::Kind::question << none << Close::ok_button
                                  << int(QMessageBox::Question) << ok_cancel << u"信息："_s << true;
    // Like the system's own boxes, OK is the box's default button.
    QTest::newRow("question, Enter") << MessageBox::Kind::question << none << Close::enter << int(QMessageBox::Question)
                                     << ok_cancel << u"信息："_s << true;
}

void GuiLayerTest::messageBox_shownBox() {
    QFETCH(MessageBox::Kind, kind);
    QFETCH(QString, title);
    QFETCH(Close, close);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QString, shownTitle);
    QFETCH(bool, confirmed);

    const lorvane::Text text = lorvane::gbk("显示名称已存在!是否替换链接内容?");
    const lorvane::Text gbk_title = lorvane::from_qstring(title);
    SeenBox seen;
    close_box_when_shown(seen, close);
    bool answer = true;
    switch (kind) {
    case MessageBox::Kind::information:
        MessageBox::information(text, gbk_title);
        break;
    case MessageBox::Kind::warning:
        answer = MessageBox::warning(text, gbk_title);
        break;
    case MessageBox::Kind::question:
        answer = MessageBox::question(text, gbk_title);
        break;
    }

    QVERIFY(seen.found);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(int(seen.buttons), buttons);
    QCOMPARE(seen.title, shownTitle);
    QCOMPARE(seen.text, u"显示名称已存在!是否替换链接内容?"_s);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QVERIFY(!seen.has_owner);
    // The buttons speak the program's language.
    QStringList expected_texts{u"确定"_s};
    if (buttons & QMessageBox::Cancel) {
        expected_texts.append(u"取消"_s);
    }
    expected_texts.sort();
    QCOMPARE(seen.button_texts, expected_texts);
    QCOMPARE(answer, confirmed);
    QCOMPARE(MessageBox::log().size(), std::size_t{1});
    QCOMPARE(bytes(MessageBox::log()[0].title), bytes(lorvane::from_qstring(shownTitle)));
}

void GuiLayerTest::checkList_tickedRowsAndRemoval_keepNumbers() {
    lorvane::CheckListModel model(history_columns());
    model.set_rows(numbered_rows(3));
    QVERIFY(model.ticked_rows().empty());

    QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(model.data(model.index(2, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(model.ticked_rows(), (std::vector<int>{0, 2}));

    model.remove_rows(model.ticked_rows());
    QCOMPARE(model.row_count(), 1);
    // The remaining row keeps its running number and its key until the list is rebuilt.
    QCOMPARE(first_column(model), QStringList{u"2"_s});
    QCOMPARE(bytes(model.key(0)), QByteArray("key2"));
    QCOMPARE(bytes(model.cell(0, 2)), QByteArray("http://2"));
    QVERIFY(!model.is_ticked(0));

    model.clear();
    QCOMPARE(model.row_count(), 0);
    QCOMPARE(bytes(model.cell(0, 0)), QByteArray());
}

void GuiLayerTest::checkList_removeRows_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<std::vector<int>>("remove");
    QTest::addColumn<int>("remaining");
    QTest::addColumn<QStringList>("firstNumbers");

    QTest::newRow("any order") << 5 << std::vector<int>{3, 0} << 3 << QStringList{u"2"_s, u"3"_s, u"5"_s};
    QTest::newRow("duplicates and out of range")
        << 4 << std::vector<int>{3, 3, -1, 4, 99} << 3 << QStringList{u"1"_s, u"2"_s, u"3"_s};
    QTest::newRow("a run of neighbours") << 6 << std::vector<int>{1, 2, 3} << 3 << QStringList{u"1"_s, u"5"_s, u"6"_s};
    QTest::newRow("nothing") << 2 << std::vector<int>{} << 2 << QStringList{u"1"_s, u"2"_s};
    std::vector<int> every_other;
    for (int row = 0; row < 1000; row += 2) {
        every_other.push_back(row);
    }
    QTest::newRow("many separate rows") << 1000 << every_other << 500 << QStringList{u"2"_s, u"4"_s, u"6"_s};
}

void GuiLayerTest::checkList_removeRows() {
    QFETCH(int, count);
    QFETCH(std::vector<int>, remove);
    QFETCH(int, remaining);
    QFETCH(QStringList, firstNumbers);

    lorvane::CheckListModel model(history_columns());
    model.set_rows(numbered_rows(count));
    model.remove_rows(remove);
    QCOMPARE(model.row_count(), remaining);
    QCOMPARE(model.rowCount(), remaining);
    QCOMPARE(first_column(model).mid(0, firstNumbers.size()), firstNumbers);
    // Each row still carries the key it was built from.
    for (int row = 0; row < model.row_count(); ++row) {
        QCOMPARE(bytes(model.key(row)), "key" + bytes(model.cell(row, 0)));
    }
}

void GuiLayerTest::checkList_clickOnCheckBox_ticksRow() {
    lorvane::CheckListModel model(history_columns());
    QTableView view;
    lorvane::setup_check_list(view, model);
    model.set_rows(numbered_rows(3));
    view.resize(500, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Where the style puts the check box of row 1.
    QStyleOptionViewItem option;
    option.initFrom(view.viewport());
    option.rect = view.visualRect(model.index(1, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = u"2"_s;
    const QRect box = view.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view);
    QVERIFY(box.isValid());

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
    QCOMPARE(model.ticked_rows(), std::vector<int>{1});
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY(model.ticked_rows().empty());
}

void GuiLayerTest::checkList_currentRow_isFirstSelectedRow() {
    lorvane::CheckListModel model(history_columns());
    QTableView view;
    lorvane::setup_check_list(view, model);
    model.set_rows(numbered_rows(5));
    QCOMPARE(lorvane::current_row(view), -1);

    // A ticked row that is not selected does not count.
    model.set_ticked(0, true);
    QCOMPARE(lorvane::current_row(view), -1);

    const auto rows = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    view.selectionModel()->select(model.index(3, 0), rows);
    view.selectionModel()->select(model.index(1, 0), rows);
    QCOMPARE(lorvane::current_row(view), 1);

    // Removing the selected row 1 leaves the old row 3, now at index 2, selected.
    model.remove_rows({1});
    QCOMPARE(lorvane::current_row(view), 2);

    view.clearSelection();
    QCOMPARE(lorvane::current_row(view), -1);
}

void GuiLayerTest::checkList_setup_looksAsDrawn() {
    lorvane::CheckListModel model(history_columns());
    QTableView view;
    lorvane::setup_check_list(view, model);
    model.set_rows(numbered_rows(2));

    QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(view.frameShape(), QFrame::NoFrame);
    QVERIFY(view.showGrid());
    QVERIFY(!view.isSortingEnabled());
    QVERIFY(view.verticalHeader()->isHidden());
    QVERIFY(view.horizontalHeader()->sectionsClickable());
    QCOMPARE(view.horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(view.columnWidth(0), 50);
    QCOMPARE(view.columnWidth(1), 150);
    QCOMPARE(view.columnWidth(2), 239);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), u"浏览日期"_s);
    QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    QCOMPARE(view.rowHeight(0), view.rowHeight(1));

    const QPalette palette = view.palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
             palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Base), QColor(Qt::white));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(Qt::black));
}

void GuiLayerTest::appIcon_hasEverySizeDrawn() {
    const QIcon icon = lorvane::app_icon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int side : {256, 48, 32, 24, 16}) {
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        // The box's front corner lies a little below the middle: drawn, not left transparent.
        const QImage image = icon.pixmap(side, side).toImage();
        QCOMPARE(image.size(), QSize(side, side));
        QCOMPARE(qAlpha(image.pixel(side / 2, side * 3 / 4)), 255);
    }
    QVERIFY(!QApplication::windowIcon().isNull());
}

void GuiLayerTest::browsePicture_is40By20AndDrawn() {
    const QImage picture = lorvane::browse_picture().toImage();
    QCOMPARE(picture.size(), QSize(40, 20));
    QVERIFY(qAlpha(picture.pixel(10, 10)) > 0); // the globe
    int word_pixels = 0;
    for (int x = 20; x < 40; ++x) {
        for (int y = 0; y < 20; ++y) {
            word_pixels += qAlpha(picture.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    QVERIFY(word_pixels > 20); // the word beside it
}

Q_DECLARE_METATYPE(MessageBox::Kind)
Q_DECLARE_METATYPE(Close)

QTEST_MAIN(GuiLayerTest)
#include "gui_layer_test.moc"
