// The entry dialogs on a book alone, with no main window; and a panel that shows whatever changed its
// book, whichever way the change came.
#include "app/CMainDlg.h"
#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "dialogs/CDepositDlg.h"
#include "dialogs/CFindDlg.h"
#include "dialogs/CInsureNoteDlg.h"
#include "dialogs/CMemoDlg.h"
#include "dialogs/CMoneyDlg.h"
#include "dialogs/CPolicyListDlg.h"
#include "dialogs/CTransferDlg.h"
#include "db/CInsureNoteBook.h"
#include "db/Ledger.h"
#include "lists/ReferenceLists.h"

#include "BookSpy.h"
#include "CommittedView.h"
#include "DeferredGuard.h"
#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "OpenLedger.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

void Click(QWidget *dialog, int id)
{
    QTest::mouseClick(Find<QPushButton>(dialog, id), Qt::LeftButton);
}

QString Text(const CMainDlg &window, int id)
{
    return static_cast<QLabel *>(window.Control(id))->text();
}

bool AnyMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<CMainDlg *>(widget))
            return true;
    }
    return false;
}

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT
private slots:
    void entryDialogsEditABookWithNoWindow()
    {
        TestInstallation install;
        MessageRecorder messages;
        LoadAllListFiles();
        g_memberList = {QStringLiteral("Li"), QString(), QStringLiteral("Wang"), QString()};
        QVERIFY(!AnyMainWindow());
        CommittedView view(DatabasePath());

        // Income and expense: added, then the chosen record changed; each save told once.
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        money.ComputeTotal();
        BookSpy moneySpy(money);
        {
            CMoneyDlg add(money);
            QVERIFY(!add.parentWidget());
            Choose(&add, 1007, QStringLiteral("收入    工资"));
            Type(&add, 1006, QStringLiteral("100"));
            Click(&add, 1011);
            QCOMPARE(add.result(), int(QDialog::Accepted));
        }
        QCOMPARE(money.GetItemCount(), 1);
        QCOMPARE(money.GetTotalCents(), qint64(10000));
        QCOMPARE(moneySpy.changes, 1);
        money.SetSelected(0);
        {
            CMoneyDlg modify(money, EntryMode::Modify);
            QCOMPARE(Find<QLineEdit>(&modify, 1006)->text(), QStringLiteral("100"));
            Type(&modify, 1006, QStringLiteral("250"));
            Click(&modify, 1011);
        }
        QCOMPARE(money.GetItemCount(), 1);
        QCOMPARE(money.GetItemText(0, 2), QStringLiteral("250"));
        QCOMPARE(money.GetTotalCents(), qint64(25000));
        QCOMPARE(view.Number(QStringLiteral("SELECT count(*) FROM Money WHERE Money = 250")), qint64(1));

        // A fixed-term plan, then its next instalment.
        CDepositBook deposits;
        deposits.Fill(QStringLiteral("BDate"));
        deposits.ComputeTotals();
        {
            CDepositDlg add(deposits);
            Type(&add, 1067, QStringLiteral("plan1"));
            Choose(&add, 1075, QStringLiteral("零存整取"));
            Choose(&add, 1076, QStringLiteral("三年"));
            Type(&add, 1077, QStringLiteral("1.71"));
            Type(&add, 1073, QStringLiteral("100"));
            QVERIFY(add.SaveAndClose());
        }
        deposits.SetSelected(0);
        {
            CDepositDlg next(deposits, EntryMode::Modify);
            QVERIFY(next.IsContinueMode());
            Type(&next, 1073, QStringLiteral("100"));
            QVERIFY(next.SaveAndClose());
        }
        QCOMPARE(deposits.GetItemCount(), 1);
        QCOMPARE(deposits.GetItemText(0, 4), QStringLiteral("200"));
        QCOMPARE(deposits.GetDepositTotal(), 200.0);
        QCOMPARE(view.Number(QStringLiteral("SELECT CAST(BMoney AS INTEGER) FROM Deposit")), qint64(200));

        // A memo, then its text changed.
        CMemoBook memos;
        memos.Fill(QStringLiteral("Date"));
        {
            CMemoDlg add(memos);
            Find<QDateTimeEdit>(&add, 1115)->setDate(QDate(2003, 5, 1));
            Find<QPlainTextEdit>(&add, 1117)->setPlainText(QStringLiteral("交电费"));
            QVERIFY(add.SaveAndClose());
        }
        memos.SetSelected(0);
        {
            CMemoDlg modify(memos, EntryMode::Modify);
            QCOMPARE(Find<QPlainTextEdit>(&modify, 1117)->toPlainText(), QStringLiteral("交电费"));
            Find<QPlainTextEdit>(&modify, 1117)->setPlainText(QStringLiteral("交水费"));
            QVERIFY(modify.SaveAndClose());
        }
        QCOMPARE(memos.GetRowTexts(0), QStringList({"2003-05-01", "交水费", "Li"}));
        QCOMPARE(view.Number(QStringLiteral("SELECT count(*) FROM Memo")), qint64(1));
        // The instalment notice, when the plan was chosen and when it was continued; nothing else.
        QCOMPARE(messages.Texts(), QStringList({"请在存入金额中填入本次存入的金额", "请在存入金额中填入本次存入的金额"}));
        QVERIFY(!AnyMainWindow());
    }

    void aPanelShowsWhateverChangedItsBook()
    {
        OpenLedger open({QStringLiteral("Li"), QString()});
        CMainDlg &window = open.window;
        CMoneyBook &money = window.m_moneyBook;

        // The home page's summary follows a record added behind the window's back.
        money.Add(LedgerDateTime(QDate(2003, 5, 1)), QStringLiteral("工资"), 100, QStringLiteral("Li"), QString());
        QCOMPARE(window.Control(1220)->toolTip(), QStringLiteral("100"));

        // An import: three pages more, the total and the page buttons, in one go.
        window.PressButton(1000);
        std::vector<MoneyEntry> bill;
        for (int i = 0; i < 250; ++i)
            bill.push_back({LedgerDateTime(QDate(2003, 6, 1).addDays(i % 28)), QStringLiteral("餐饮"), -2,
                            QStringLiteral("Li"), QString()});
        QVERIFY(money.AddMany(bill, [](qsizetype) { return true; }));
        QCOMPARE(Text(window, 1041), QStringLiteral("您的现金总额:") + FormatAmount(-400) + QStringLiteral("元  "));
        QCOMPARE(Text(window, 1094), QStringLiteral("共 3 页  当前页 : "));
        QVERIFY(window.Control(1011)->isEnabled());
        QCOMPARE(static_cast<QComboBox *>(window.Control(1097))->count(), 3);

        // A row chosen in the book, not by a click: the row buttons follow it, and its absence.
        money.SetSelected(4);
        QVERIFY(window.Control(1002)->isEnabled() && window.Control(1003)->isEnabled());
        money.ShowPage(2, QStringLiteral("Date"));
        QVERIFY(!window.Control(1002)->isEnabled() && !window.Control(1003)->isEnabled());
        QVERIFY(window.Control(1010)->isEnabled());

        // A find step, then a delete: the row buttons follow the row the find window chose, and the
        // window's 下一项 goes with the matches it numbered.
        CMemoBook &memos = window.m_memoBook;
        for (int day = 1; day <= 3; ++day)
            memos.Add(QStringLiteral("2003-05-0%1").arg(day), QStringLiteral("交电费"), QStringLiteral("Li"));
        window.PressButton(1012);
        QVERIFY(!window.Control(1014)->isEnabled());
        window.PressButton(1016);
        auto *finder = qobject_cast<CFindDlg *>(window.FindWindow());
        QVERIFY(finder);
        Find<QComboBox>(finder, 1090)->setCurrentIndex(1);
        Find<QLineEdit>(finder, 1091)->setText(QStringLiteral("交电费"));
        finder->Find();
        QCOMPARE(memos.GetSelected(), 0);
        QVERIFY(window.Control(1014)->isEnabled() && window.Control(1015)->isEnabled());
        QVERIFY(finder->IsNextEnabled());
        window.PressButton(1014);
        QCOMPARE(memos.GetItemCount(), 2);
        QVERIFY(!finder->IsNextEnabled());
        QCOMPARE(memos.GetSelected(), 0);  // the row below moved up into the place
        QVERIFY(window.Control(1014)->isEnabled());

        // A panel changed while another is shown refreshes out of sight.
        money.Add(LedgerDateTime(QDate(2003, 5, 2)), QStringLiteral("工资"), 50, QStringLiteral("Li"), QString());
        QVERIFY(window.Control(1041)->isHidden());
        QVERIFY(window.Control(1094)->isHidden());
        QCOMPARE(Text(window, 1041), QStringLiteral("您的现金总额:") + FormatAmount(-350) + QStringLiteral("元  "));
        QVERIFY(open.messages.messages.isEmpty());
    }

    void aChangeOfTwoBooksIsShownOnceItIsWhole()
    {
        // A transfer to cash and a policy deletion write two books in one transaction. What their panels
        // show changes when that transaction is committed, or rolled back and read again: never while a
        // failure is told, and each book tells its panel once.
        OpenLedger open({QStringLiteral("Li"), QString()});
        CMainDlg &window = open.window;
        CDepositBook &deposits = window.m_depositBook;
        CMoneyBook &money = window.m_moneyBook;
        window.PressButton(1009);
        deposits.Add(QStringLiteral("2003-01-01"), QStringLiteral("定期"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                     QStringLiteral("1000"), QStringLiteral("1019.8"), QStringLiteral("2004-01-01"),
                     QStringLiteral("中国银行"), QStringLiteral("Li"), QString());
        deposits.Add(QStringLiteral("2003-02-01"), QStringLiteral("活动"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                     QStringLiteral("500"), QStringLiteral("510"), QStringLiteral("2004-02-01"),
                     QStringLiteral("中国银行"), QStringLiteral("Li"), QString());
        const QString depositLine = Text(window, 1047);
        const QString cashLine = Text(window, 1041);
        QVERIFY(depositLine.contains(FormatAmount(1529.8)));

        // The deposit's delete fails at the COMMIT: rolled back, both books read again.
        auto db = OpenLedgerDatabase();
        LayDeferredGuard(*db);
        FailCommitOfDeletes(*db, QStringLiteral("Deposit"), QStringLiteral("OLD.Account='定期'"));
        deposits.SetSelected(0);
        QStringList seen;
        open.messages.onInform = [&] { seen << Text(window, 1047) << Text(window, 1041); };
        {
            BookSpy moneySpy(money);
            BookSpy depositSpy(deposits);
            CTransferDlg dialog(deposits, money, &window);
            QVERIFY(!dialog.SaveAndClose());
            QCOMPARE(open.messages.messages.last().caption, QStringLiteral("错误"));
            QCOMPARE(seen, QStringList({depositLine, cashLine}));  // as committed while the failure is told
            QCOMPARE(moneySpy.changes, 1);
            QCOMPARE(depositSpy.changes, 1);
        }
        QCOMPARE(Text(window, 1047), depositLine);
        QCOMPARE(money.GetTotalCents(), qint64(0));
        QVERIFY(!window.Control(1061)->isEnabled());

        // The other deposit goes to cash: each book tells once, after the COMMIT.
        deposits.SetSelected(1);
        QCOMPARE(deposits.GetItemText(1, 1), QStringLiteral("活动"));
        {
            BookSpy moneySpy(money);
            BookSpy depositSpy(deposits);
            CTransferDlg dialog(deposits, money, &window);
            QVERIFY(dialog.SaveAndClose());
            QCOMPARE(moneySpy.changes, 1);
            QCOMPARE(depositSpy.changes, 1);
        }
        QVERIFY(Text(window, 1047).contains(FormatAmount(1019.8)));
        QCOMPARE(money.GetTotalCents(), qint64(51000));

        // A policy whose deletion fails at the COMMIT: its activities and the premium paid stay on show.
        CInsureNoteBook policies;
        policies.AddPolicy(QStringLiteral("车险"), QString(), QString(), QStringLiteral("100"), QStringLiteral("1000"),
                           QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(), QString(), QString(),
                           QString());
        window.PressButton(1019);
        CInsureBook &insurance = window.m_insureBook;
        insurance.Add(QStringLiteral("2003-02-01"), QStringLiteral("车险"), QStringLiteral("缴纳保费"), QStringLiteral("-100"),
                      QStringLiteral("Li"), QString());
        const QString premiumLine = Text(window, 1052);
        QVERIFY(premiumLine.contains(FormatAmount(100)));
        FailCommitOfDeletes(*db, QStringLiteral("InsureNote"));
        seen.clear();
        open.messages.onInform = [&] { seen << Text(window, 1052); };
        {
            BookSpy insureSpy(insurance);
            CPolicyListDlg list(insurance, &window);
            list.Policies().SetSelected(0);
            list.DeletePolicy();
            QCOMPARE(open.messages.messages.last().caption, QStringLiteral("错误"));
            QCOMPARE(seen, QStringList({premiumLine}));
            QCOMPARE(insureSpy.changes, 1);
        }
        QCOMPARE(Text(window, 1052), premiumLine);
        QCOMPARE(insurance.GetItemCount(), 1);

        // A new policy whose opening premium fails at the COMMIT: nothing of it is shown.
        db->Execute(QStringLiteral("CREATE TRIGGER opening_guard AFTER INSERT ON InsureRecord BEGIN INSERT INTO Guard VALUES (1); END"));
        seen.clear();
        {
            BookSpy insureSpy(insurance);
            CInsureNoteDlg dialog(insurance, EntryMode::Add, QString(), &window);
            Find<QLineEdit>(&dialog, 1156)->setText(QStringLiteral("寿险"));
            Type(&dialog, 1164, QStringLiteral("300"));
            Type(&dialog, 1165, QStringLiteral("100000"));
            Type(&dialog, 1166, QStringLiteral("300"));
            QVERIFY(!dialog.SaveAndClose());
            QCOMPARE(open.messages.messages.last().caption, QStringLiteral("错误"));
            QCOMPARE(seen, QStringList({premiumLine}));
            QCOMPARE(insureSpy.changes, 1);
        }
        QCOMPARE(Text(window, 1052), premiumLine);
        QCOMPARE(insurance.GetItemCount(), 1);
    }

    void thePolicyListLetsGoOfItsBookBeforeTheBookGoes()
    {
        // The list of policies listens to the dialog's own book of policies: it must be gone while
        // that book is still whole, or its last notice reaches a book that is no longer there.
        OpenLedger open({QStringLiteral("Li"), QString()});
        auto *list = new CPolicyListDlg(open.window.m_insureBook, &open.window);
        auto *view = list->findChild<QWidget *>(QStringLiteral("1175"));
        QVERIFY(view);
        bool dialogWhole = false;
        QObject::connect(view, &QObject::destroyed, [&] { dialogWhole = qobject_cast<CPolicyListDlg *>(static_cast<QObject *>(list)) != nullptr; });
        delete list;
        QVERIFY(dialogWhole);
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
