// The main window: panel switching, row selection, buttons, paging, status lines, home page, exit.
#include "app/CMainDlg.h"
#include "dialogs/CMoneyDlg.h"
#include "db/CInsureNoteBook.h"
#include "db/CMemoBook.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "lists/ReferenceLists.h"

#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

namespace {

CMainDlg::Options Quiet()
{
    CMainDlg::Options options;
    options.showSplash = false;
    return options;
}

QString Text(CMainDlg &window, int id)
{
    return static_cast<QLabel *>(window.Control(id))->text();
}

bool Shown(CMainDlg &window, int id)
{
    return !window.Control(id)->isHidden();
}

bool Enabled(CMainDlg &window, int id)
{
    return window.Control(id)->isEnabled();
}

void ClickRow(CMainDlg &window, int list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    auto *view = static_cast<QAbstractItemView *>(window.Control(list));
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), button, Qt::NoModifier, rect.center());
}

void AddMoney(CMainDlg &window, int count, double amount = 1)
{
    for (int i = 0; i < count; ++i)
        window.m_moneyBook.Add(LedgerDateTime(QDate(2003, 1, 1).addDays(i)), QStringLiteral("工资"), amount,
                               QStringLiteral("Li"), QString());
}

} // namespace

class TestMainDlg : public QObject
{
    Q_OBJECT
private slots:
    void startsOnTheHomePage()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        QCOMPARE(window.windowTitle(), QStringLiteral("Zarvel V1.07"));
        QVERIFY(Shown(window, 1219));
        QVERIFY(!Shown(window, 1004));
        QVERIFY(window.IsClockRunning());
        QVERIFY(window.m_strMember.isEmpty());
        QVERIFY(window.WelcomeText().startsWith(QStringLiteral("您好 ！")));
        QCOMPARE(Text(window, 1220), QStringLiteral("收    支    0"));
        QCOMPARE(Text(window, 1226), QStringLiteral("总    计    0"));
        QVERIFY(messages.messages.isEmpty());
    }

    void welcomeLine()
    {
        QCOMPARE(CHomePage::BuildWelcome(QStringLiteral("Li"), QDate(2003, 5, 1)),
                 QStringLiteral("Li，您好 ！今天是 2003 年 05 月 01 日 星期四。欢迎您使用 Zarvel 软件。"));
        QCOMPARE(CHomePage::BuildWelcome(QString(), QDate(2003, 5, 4)),
                 QStringLiteral("您好 ！今天是 2003 年 05 月 04 日 星期日。欢迎您使用 Zarvel 软件。"));
    }

    void switchingPanels()
    {
        TestInstallation install;
        CMainDlg window(Quiet());
        window.PressButton(1000);
        QVERIFY(Shown(window, 1004));
        QVERIFY(!Shown(window, 1219));
        QVERIFY(!window.IsClockRunning());

        // A press on the shown panel's button changes nothing: no refresh.
        AddMoney(window, 1, 50);
        const QString before = Text(window, 1041);
        window.PressButton(1000);
        QCOMPARE(Text(window, 1041), before);
        window.PressButton(1009);
        QVERIFY(!Shown(window, 1004));
        QVERIFY(Shown(window, 1008));
        QVERIFY(Shown(window, 1065) && Shown(window, 1066));
        window.PressButton(1066);
        QVERIFY(Shown(window, 1098));
        QVERIFY(!Shown(window, 1008));
        window.PressButton(1012);
        QVERIFY(Shown(window, 1114));
        QVERIFY(!Shown(window, 1065));
        QVERIFY(Shown(window, 1072) && Shown(window, 1073) && Shown(window, 1074));
        window.PressButton(1073);
        QVERIFY(Shown(window, 1115));
        QVERIFY(!Shown(window, 1114));
        window.PressButton(1018);
        QVERIFY(Shown(window, 1219));
        QVERIFY(!Shown(window, 1115) && !Shown(window, 1072));
        QVERIFY(window.IsClockRunning());
        QCOMPARE(Text(window, 1220), QStringLiteral("收    支    50"));
    }

    void summaryLinesSwitchLikeTheirButtons()
    {
        TestInstallation install;
        CMainDlg window(Quiet());
        window.PressButton(1225);
        QVERIFY(Shown(window, 1116));
        QVERIFY(Shown(window, 1072) && Shown(window, 1073) && Shown(window, 1074));
        QVERIFY(!Shown(window, 1219));
        window.PressButton(1018);
        window.PressButton(1221);
        QVERIFY(Shown(window, 1008));
        QVERIFY(Shown(window, 1065) && Shown(window, 1066));
    }

    void largeTotalsInTheSummaryAndTheStatusLine()
    {
        TestInstallation install;
        CMainDlg window(Quiet());
        AddMoney(window, 1, 1234567.89);
        window.PressButton(1000);
        QCOMPARE(Text(window, 1041), QStringLiteral("您的现金总额:1,234,567.89元  "));
        // 6 pixels per GBK byte (29 here), and never narrower than the text itself: nothing is cut off.
        auto *status = static_cast<QLabel *>(window.Control(1041));
        QVERIFY(status->width() >= 6 * 29);
        QVERIFY(status->width() > status->fontMetrics().horizontalAdvance(status->text()));
        window.PressButton(1018);
        QCOMPARE(Text(window, 1220), QStringLiteral("收    支    1.23457e+06"));
        QCOMPARE(Text(window, 1226), QStringLiteral("总    计    1.23457e+06"));
    }

    void homePageAmountsGiveTheirExactFigureInATooltip()
    {
        // The page keeps its six digits; each of the seven amounts tells its exact figure, to the cent,
        // as the status lines write it.
        TestInstallation install;
        CMainDlg window(Quiet());
        AddMoney(window, 1, 221780.65);
        window.m_currentBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("工资卡"), QStringLiteral("工商银行"),
                                 QStringLiteral("人民币"), QStringLiteral("1000000.1"), QStringLiteral("存款"),
                                 QStringLiteral("Li"), QString());
        window.PressButton(1000);
        window.PressButton(1018);
        QCOMPARE(Text(window, 1220), QStringLiteral("收    支    221781"));
        QCOMPARE(window.Control(1220)->toolTip(), QStringLiteral("221,780.65"));
        QCOMPARE(Text(window, 1222), QStringLiteral("活期储蓄    1e+06"));
        QCOMPARE(window.Control(1222)->toolTip(), QStringLiteral("1,000,000.1"));
        QCOMPARE(Text(window, 1226), QStringLiteral("总    计    1.22178e+06"));
        QCOMPARE(window.Control(1226)->toolTip(), QStringLiteral("1,221,780.75"));
        for (int id : {1221, 1223, 1224, 1225})
            QCOMPARE(window.Control(id)->toolTip(), QStringLiteral("0"));
    }

    void statusLineAmounts_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "您的现金总额:0元  ";
        QTest::newRow("thousand and a half") << 1000.5 << "您的现金总额:1,000.5元  ";
        QTest::newRow("minus a million") << -1000000.0 << "您的现金总额:-1,000,000元  ";
    }
    void statusLineAmounts()
    {
        QFETCH(double, amount);
        QFETCH(QString, text);
        TestInstallation install;
        CMainDlg window(Quiet());
        if (amount != 0)
            AddMoney(window, 1, amount);
        window.PressButton(1000);
        QCOMPARE(Text(window, 1041), text);
    }

    void pagingStates()
    {
        TestInstallation install;
        CMainDlg window(Quiet());
        window.PressButton(1000);
        auto *selector = static_cast<QComboBox *>(window.Control(1097));
        QCOMPARE(Text(window, 1094), QStringLiteral("共 0 页  当前页 : "));
        QCOMPARE(selector->count(), 1);
        QCOMPARE(selector->currentText(), QStringLiteral("0"));
        QVERIFY(!selector->isEnabled());
        QVERIFY(!Enabled(window, 1010) && !Enabled(window, 1011));
        QCOMPARE(window.Control(1094)->geometry().right() + 1, 498);

        AddMoney(window, 30);
        QCOMPARE(Text(window, 1094), QStringLiteral("共 1 页  当前页 : "));
        QVERIFY(selector->isEnabled());
        QVERIFY(!Enabled(window, 1010) && !Enabled(window, 1011));

        AddMoney(window, 220);
        window.m_moneyBook.ShowPage(2, QStringLiteral("Date"));
        QCOMPARE(selector->count(), 3);
        QCOMPARE(selector->currentText(), QStringLiteral("2"));
        QVERIFY(Enabled(window, 1010) && Enabled(window, 1011));
        window.PressButton(1011);
        QCOMPARE(window.m_moneyBook.GetCurrentPage(), 3);
        QVERIFY(Enabled(window, 1010) && !Enabled(window, 1011));
        selector->activated(0);
        QCOMPARE(window.m_moneyBook.GetCurrentPage(), 1);
        QCOMPARE(selector->currentText(), QStringLiteral("1"));
    }

    void selectionOnlyByClicks()
    {
        TestInstallation install;
        CMainDlg window(Quiet());
        window.show();
        AddMoney(window, 5);
        window.PressButton(1000);
        QVERIFY(!Enabled(window, 1002) && !Enabled(window, 1003));
        ClickRow(window, 1004, 2);
        QCOMPARE(window.m_moneyBook.GetSelected(), 2);
        QVERIFY(Enabled(window, 1002) && Enabled(window, 1003));

        auto *view = static_cast<QAbstractItemView *>(window.Control(1004));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(window.m_moneyBook.GetSelected(), 2);

        // A click below the last row leaves everything as it was.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, view->viewport()->height() - 5));
        QCOMPARE(window.m_moneyBook.GetSelected(), 2);
        QVERIFY(Enabled(window, 1002));

        ClickRow(window, 1004, 4, Qt::RightButton);
        QCOMPARE(window.m_moneyBook.GetSelected(), 4);
        window.PressButton(1002);  // delete
        QCOMPARE(window.m_moneyBook.GetItemCount(), 4);
        QCOMPARE(Text(window, 1041), QStringLiteral("您的现金总额:4元  "));
    }

    void highlightIsAlwaysTheRowTheButtonsActOn()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        AddMoney(window, 40);
        window.PressButton(1000);
        auto *view = static_cast<QAbstractItemView *>(window.Control(1004));
        const auto highlighted = [view] {
            QList<int> rows;
            for (const QModelIndex &index : view->selectionModel()->selectedRows())
                rows.append(index.row());
            return rows;
        };
        ClickRow(window, 1004, 2);
        const QString chosenDate = window.m_moneyBook.GetItemText(2, 0);
        view->setFocus();
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up, Qt::Key_A})
            QTest::keyClick(view, key);
        QCOMPARE(highlighted(), QList<int>({2}));
        QVERIFY(view->verticalScrollBar()->value() > 0);  // the keys scrolled the list

        // A drag from the row and a control-click on it leave the highlight where the click put it.
        view->scrollToTop();
        const QPoint from = view->visualRect(view->model()->index(2, 0)).center();
        const QPoint to = view->visualRect(view->model()->index(4, 0)).center();
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent drag(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drag);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(window.m_moneyBook.GetSelected(), 2);
        QCOMPARE(highlighted(), QList<int>({2}));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, from);
        QCOMPARE(highlighted(), QList<int>({2}));

        window.PressButton(1002);  // 删除: the highlighted row's record goes, and the one below takes its place
        QCOMPARE(window.m_moneyBook.GetItemCount(), 39);
        for (int row = 0; row < window.m_moneyBook.GetItemCount(); ++row)
            QVERIFY(window.m_moneyBook.GetItemText(row, 0) != chosenDate);
        QCOMPARE(window.m_moneyBook.GetSelected(), 2);
        QCOMPARE(highlighted(), QList<int>({2}));

        window.m_moneyBook.ShowPage(1, QStringLiteral("Date"));  // the page listed again: no row is chosen
        QCOMPARE(window.m_moneyBook.GetSelected(), -1);
        QVERIFY(highlighted().isEmpty());
        QVERIFY(messages.messages.isEmpty());
    }

    void doubleClickOpensTheRowInTheDialog()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        AddMoney(window, 3, 42);
        window.PressButton(1000);
        QString title;
        QString amount;
        bool modifying = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            amount = dialog->findChild<QLineEdit *>(QStringLiteral("1006"))->text();
            modifying = qobject_cast<CMoneyDlg *>(dialog) && qobject_cast<CMoneyDlg *>(dialog)->IsModifying();
            dialog->reject();
        });
        auto *view = static_cast<QAbstractItemView *>(window.Control(1004));
        const QRect rect = view->visualRect(view->model()->index(1, 0));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QCOMPARE(title, QStringLiteral("收支记录"));
        QCOMPARE(amount, QStringLiteral("42"));
        QVERIFY(modifying);
        QCOMPARE(window.m_moneyBook.GetSelected(), 1);
    }

    void fixedTermRule()
    {
        TestInstallation install;
        CMainDlg window(Quiet());
        window.show();
        window.m_depositBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("美元"),
                                 QStringLiteral("零存整取"), QStringLiteral("100"), QStringLiteral("110"),
                                 QStringLiteral("2004-01-01"), QStringLiteral("中国银行"), QStringLiteral("Li"), QString());
        window.m_depositBook.Add(QStringLiteral("2003-02-01"), QStringLiteral("B"), QStringLiteral("人民币"),
                                 QStringLiteral("整存整取"), QStringLiteral("100"), QStringLiteral("110"),
                                 QStringLiteral("2004-01-01"), QStringLiteral("中国银行"), QStringLiteral("Li"), QString());
        window.PressButton(1009);
        QVERIFY(!Enabled(window, 1061) && !Enabled(window, 1063) && !Enabled(window, 1062));
        ClickRow(window, 1008, 0);
        QVERIFY(Enabled(window, 1061));
        QVERIFY(Enabled(window, 1063));
        QVERIFY(!Enabled(window, 1062));
        ClickRow(window, 1008, 1);
        QVERIFY(!Enabled(window, 1063));
        QVERIFY(Enabled(window, 1062));
    }

    void unreadableTableUnderARunningListIsToldOnceAndNeverThrows()
    {
        TestInstallation install;
        {
            CMemoBook memos;
            memos.Fill(QStringLiteral("Date"));
            for (int i = 0; i < 300; ++i)
                memos.Add(QStringLiteral("2003-01-01"), QStringLiteral("memo %1").arg(i), QStringLiteral("Li"));
        }
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        window.PressButton(1012);
        auto *view = static_cast<QAbstractItemView *>(window.Control(1114));
        QCoreApplication::processEvents();
        // The table goes away under the running list: rows not read yet can no longer be read.
        OpenLedgerDatabase(install.DataFile("Kinward.db"))->Execute(QStringLiteral("ALTER TABLE Memo RENAME TO Gone"));
        for (int row : {280, 150, 299, 60}) {
            view->scrollTo(view->model()->index(row, 0));
            view->viewport()->repaint();  // paints read rows; nothing may escape the painting code
            QCoreApplication::processEvents();
        }
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages.first().caption, QStringLiteral("数据库错误"));
        QVERIFY(messages.Last().contains(QStringLiteral("帐目数据库缺少程序需要的表或列")));
        // An action on it is reported through the same seam, and the window goes on.
        ClickRow(window, 1114, view->indexAt(QPoint(2, 2)).row());
        QVERIFY(Enabled(window, 1014));
        window.PressButton(1014);
        QCOMPARE(messages.messages.size(), 2);
        QCOMPARE(messages.messages.last().caption, QStringLiteral("数据库错误"));
        QVERIFY(window.isVisible());
    }

    void deletingTheLastRowDisablesTheButtons()
    {
        TestInstallation install;
        CInsureNoteBook().AddPolicy(QStringLiteral("P"), QString(), QString(), QStringLiteral("1"), QStringLiteral("1"),
                                    QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(),
                                    QString(), QString(), QString());
        CMainDlg window(Quiet());
        window.show();
        window.m_memoBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("x"), QStringLiteral("Li"));
        window.m_addressBook.Add(QStringList(15, QStringLiteral("x")));
        window.m_creditBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("借出"), QStringLiteral("5"), QString(),
                                QString(), QString());
        window.m_insureBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("P"), QStringLiteral("缴纳保费"),
                                QStringLiteral("-5"), QString(), QString());
        const QList<std::tuple<int, int, int, int, int>> panels = {
            {1012, 1114, 1014, 1015, 0}, {1073, 1115, 1022, 1023, 0}, {1074, 1116, 1026, 1027, 0},
            {1019, 1117, 1053, 1054, 0}};
        for (const auto &[panel, list, remove, modify, unused] : panels) {
            Q_UNUSED(unused);
            window.PressButton(panel);
            ClickRow(window, list, 0);
            QVERIFY(Enabled(window, remove) && Enabled(window, modify));
            window.PressButton(remove);
            QVERIFY2(!Enabled(window, remove) && !Enabled(window, modify), qPrintable(QString::number(panel)));
        }
        QCOMPARE(Text(window, 1052), QStringLiteral("您的保险金共交纳:0元  "));
        QCOMPARE(Text(window, 1049), QStringLiteral("您的债权债务总额:0元"));
    }

    void escapeAndReturnNeverCloseTheWindow()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        QTest::keyClick(&window, Qt::Key_Escape);
        QTest::keyClick(&window, Qt::Key_Return);
        QVERIFY(window.isVisible());
        QVERIFY(messages.messages.isEmpty());
    }

    void exitAnsweredNoKeepsEverything()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        AddMoney(window, 3);
        window.PressButton(1000);
        messages.answer = false;
        window.close();
        QVERIFY(window.isVisible());
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.Last(), QStringLiteral("确定退出系统吗?"));
        QCOMPARE(messages.messages.last().caption, QStringLiteral("退出"));
        QVERIFY(Shown(window, 1004));
        QCOMPARE(window.m_moneyBook.GetItemCount(), 3);
        window.m_moneyBook.SetSelected(0);
        QVERIFY(window.m_moneyBook.Remove());  // the books are still open

        messages.answer = true;
        window.close();
        QVERIFY(!window.isVisible());
    }

    void missingDatabaseIsReported()
    {
        TestInstallation install;
        QFile::remove(install.DataFile("Kinward.db"));
        MessageRecorder messages;
        CMainDlg window(Quiet());
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages.first().caption, QStringLiteral("数据库错误"));
        QVERIFY(messages.Last().contains(QStringLiteral("Kinward.db")));
        QVERIFY(Shown(window, 1219));
    }
};

QTEST_MAIN(TestMainDlg)
#include "tst_maindlg.moc"
