// What the user sees of every window: Qt's own texts in Chinese, disabled buttons that look disabled,
// tinted drop-down lists, dialogs centred, and the whole text of a cell that is cut off.
#include "app/CBookView.h"
#include "app/ChineseLocale.h"
#include "app/CMainDlg.h"
#include "app/DialogCentring.h"
#include "app/Style.h"
#include "controls/CEntryComboBox.h"
#include "controls/CIconButton.h"
#include "lists/CAddMemberDlg.h"

#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>

namespace {

CMainDlg::Options Quiet()
{
    CMainDlg::Options options;
    options.showSplash = false;
    return options;
}

// Pixels of the image at most this grey (0 black .. 255 white).
int DarkPixels(const QImage &image, int darkest)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) <= darkest ? 1 : 0;
    }
    return count;
}

} // namespace

class TestLook : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(UseChineseLocale(qApp));
        ApplyLedgerStyle(qApp);
        CentreDialogsOnTheMainWindow(qApp);
    }

    void qtsOwnTextsAreChinese()
    {
        QMessageBox question(QMessageBox::Question, QStringLiteral("Zarvel"), QStringLiteral("确定退出系统吗?"),
                             QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(question.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")),
                 qPrintable(question.button(QMessageBox::Yes)->text()));
        QVERIFY(question.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
        QMessageBox notice(QMessageBox::Information, QStringLiteral("错误"), QStringLiteral(" 请输入金额"),
                           QMessageBox::Ok);
        QVERIFY(notice.button(QMessageBox::Ok)->text().startsWith(QStringLiteral("确定")));

        QCalendarWidget calendar;
        QCOMPARE(calendar.locale().language(), QLocale::Chinese);
        QCOMPARE(calendar.locale().monthName(12), QStringLiteral("十二月"));

        QLineEdit field;
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList actions;
        for (const QAction *action : menu->actions())
            actions.append(action->text());
        QVERIFY2(actions.join(QLatin1Char(' ')).contains(QStringLiteral("粘贴")), qPrintable(actions.join(' ')));
    }

    void disabledButtonsLookDisabled()
    {
        CIconButton button(QStringLiteral("删除"));
        button.SetLedgerColors();
        button.resize(80, 30);
        button.show();
        QVERIFY(DarkPixels(button.grab().toImage(), 40) > 0);  // an enabled caption is black

        button.setEnabled(false);
        QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), button.mapToGlobal(QPointF(10, 10)));
        QApplication::sendEvent(&button, &enter);  // the pointer over it
        const QImage disabled = button.grab().toImage();
        QCOMPARE(DarkPixels(disabled, 40), 0);
        QVERIFY(DarkPixels(disabled, 150) > 0);  // the caption is there, in grey
        QCOMPARE(disabled.pixelColor(3, 3), QColor(190, 210, 250));  // no hover colour
    }

    void disabledFieldsLookDisabled()
    {
        QLineEdit field;
        field.resize(120, 24);
        field.show();
        const QPoint inside(field.width() - 10, field.height() / 2);
        QCOMPARE(field.grab().toImage().pixelColor(inside), LedgerColors::kTint);
        field.setEnabled(false);  // e.g. an ignored criterion of a search
        QCOMPARE(field.grab().toImage().pixelColor(inside), LedgerColors::kDialog);
    }

    void dropDownListsAreTinted()
    {
        CEntryComboBox items;
        items.addItems({QStringLiteral("收入    工资"), QStringLiteral("支出    餐饮")});
        items.resize(160, 24);
        items.show();
        items.showPopup();
        QAbstractItemView *list = items.view();
        QTRY_VERIFY(list->isVisible());
        QWidget *window = list->window();  // the popup as it is shown, frame and all
        const QImage popup = window->grab().toImage();
        const QRect row = list->visualRect(list->model()->index(1, 0));
        const QPoint beside(window->width() - 8, list->viewport()->mapTo(window, row.center()).y());
        // Beside the text of a row that is not highlighted: the list's own background.
        QCOMPARE(popup.pixelColor(beside), QColor(230, 250, 255));
        items.hidePopup();
    }

    void dialogsOpenCentredOnTheMainWindow()
    {
        TestInstallation install;
        MessageRecorder messages;
        {
            CAddMemberDlg first(nullptr);  // at start, before the main window shows: on the screen
            first.show();
            const QPoint screen = first.screen()->availableGeometry().center();
            QVERIFY2((first.frameGeometry().center() - screen).manhattanLength() <= 2,
                     qPrintable(QStringLiteral("%1,%2").arg(first.frameGeometry().center().x()).arg(first.frameGeometry().center().y())));
        }
        CMainDlg window(Quiet());
        window.show();
        window.move(20, 10);
        CAddMemberDlg dialog(nullptr);
        dialog.show();
        QVERIFY((dialog.frameGeometry().center() - window.frameGeometry().center()).manhattanLength() <= 2);
    }

    void messageBoxesOpenCentredOnTheMainWindow()
    {
        // A message box sizes itself to its text only as it is shown: it is centred by that size.
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        window.move(20, 10);
        for (const QString &text : {QStringLiteral(" 请输入金额"),
                                    QStringLiteral("所选的记录已不在帐目数据库中，没有保存任何改动。"),
                                    QStringLiteral("帐目数据库文件 /home/li/.local/share/zarvel/Data/Account.db 已损坏，"
                                                   "或不是 Zarvel 的帐目数据库。请从备份恢复这个文件。")}) {
            QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok, &window);
            box.show();
            const QPoint off = box.frameGeometry().center() - window.frameGeometry().center();
            QVERIFY2(off.manhattanLength() <= 2, qPrintable(QStringLiteral("%1: off by %2,%3").arg(text).arg(off.x()).arg(off.y())));
        }
    }

    void cutTextShowsWholeAsTooltip()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        const QString note = QStringLiteral("给孩子买的冬季校服两套，另外加了一双运动鞋和一个书包，在学校门口的店里");
        window.m_moneyBook.Add(LedgerDateTime(QDate(2003, 1, 1)), QStringLiteral("服装"), -300, QStringLiteral("Li"), note);
        window.PressButton(1000);
        auto *view = static_cast<CBookView *>(window.Control(1004));
        const QModelIndex noteCell = view->model()->index(0, 5);
        const QModelIndex memberCell = view->model()->index(0, 4);
        QVERIFY(view->IsTextCut(noteCell));
        QVERIFY(!view->IsTextCut(memberCell));

        const QPoint at = view->visualRect(noteCell).center();
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), note);
        const QPoint member = view->visualRect(memberCell).center();
        QHelpEvent shortHelp(QEvent::ToolTip, member, view->viewport()->mapToGlobal(member));
        QApplication::sendEvent(view->viewport(), &shortHelp);
        QTRY_VERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
