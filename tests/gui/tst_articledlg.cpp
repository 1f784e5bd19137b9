// The asset and insurance-activity dialogs driven as a user would: kinds narrowing names, whole quantities, the pads, the
// checks, add and modify, and the find window stepping through matches and closing with its panel.
#include "app/CMainDlg.h"
#include "controls/CCalcPad.h"
#include "db/Ledger.h"
#include "dialogs/CArticleDlg.h"
#include "dialogs/CArticleFindDlg.h"
#include "dialogs/CInsureDlg.h"
#include "dialogs/CInsureNoteDlg.h"
#include "dialogs/CPolicyListDlg.h"
#include "db/SqlConnection.h"
#include "db/CInsureNoteBook.h"
#include "lists/ReferenceLists.h"

#include "CommittedView.h"
#include "DeferredGuard.h"
#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "OpenLedger.h"
#include "TestInstallation.h"

#include <QComboBox>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>


class TestArticleDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_open = std::make_unique<OpenLedger>();
        m_install = &m_open->install;
        m_messages = &m_open->messages;
        m_window = &m_open->window;
        m_window->PressButton(1007);
    }
    void cleanup() { m_open.reset(); }

    void kindNarrowsTheNamesAndTheAssetIsSaved()
    {
        CArticleDlg dialog(m_window->m_articleBook, EntryMode::Add, m_window);
        dialog.show();
        auto *kinds = Find<QComboBox>(&dialog, 1043);
        auto *names = Find<QComboBox>(&dialog, 1044);
        QCOMPARE(kinds->currentIndex(), -1);
        QCOMPARE(names->count(), int(g_articleKindList.size()));
        kinds->setFocus();
        QTest::keyClick(kinds, Qt::Key_Down);  // 家电, by keys
        QCOMPARE(kinds->currentText(), QStringLiteral("家电"));
        QCOMPARE(names->count(), 4);
        QCOMPARE(names->currentText(), QStringLiteral("电视机"));
        Type(&dialog, 1048, QStringLiteral("2."));
        QCOMPARE(Find<QLineEdit>(&dialog, 1048)->text(), QStringLiteral("2"));  // whole numbers only
        Type(&dialog, 1045, QStringLiteral("3000"));
        Type(&dialog, 1046, QStringLiteral("5."));
        QVERIFY(!dialog.SaveAndContinue());
        QCOMPARE(m_messages->Last(), QStringLiteral(" 物品成本输入错误"));
        Type(&dialog, 1046, QStringLiteral("1500.5"));
        QVERIFY(dialog.SaveAndContinue());
        const CArticleBook &book = m_window->m_articleBook;
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetRowTexts(0).mid(0, 4), QStringList({"电视机", "2", "3000", "1500.5"}));
    }

    void padsFillTheirOwnFields()
    {
        CArticleDlg dialog(m_window->m_articleBook, EntryMode::Add, m_window);
        dialog.show();
        dialog.OpenCalcPad(2);
        QVERIFY(g_pCalcPad);
        for (const char *key : {"1", "2", "+", "3", "="})
            g_pCalcPad->PressKey(QString::fromLatin1(key));
        QCOMPARE(Find<QLineEdit>(&dialog, 1045)->text(), QStringLiteral("15"));
        dialog.OpenCalcPad(3);
        for (const char *key : {"7", "="})
            g_pCalcPad->PressKey(QString::fromLatin1(key));
        QCOMPARE(Find<QLineEdit>(&dialog, 1046)->text(), QStringLiteral("7"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1045)->text(), QStringLiteral("15"));
    }

    void modifyThenContinueAdds()
    {
        CArticleBook &book = m_window->m_articleBook;
        book.Add(QStringLiteral("冰箱"), QStringLiteral("1"), QStringLiteral("2000"), QStringLiteral("800"), QStringLiteral("旧"));
        book.SetSelected(0);
        CArticleDlg dialog(m_window->m_articleBook, EntryMode::Modify, m_window);
        QVERIFY(dialog.IsModifyMode());
        QCOMPARE(Find<QComboBox>(&dialog, 1044)->currentText(), QStringLiteral("冰箱"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1046)->text(), QStringLiteral("800"));
        Type(&dialog, 1046, QStringLiteral("700"));
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetItemText(0, 3), QStringLiteral("700"));
        QVERIFY(!dialog.IsModifying());
        QVERIFY(dialog.SaveAndContinue());  // now an add
        QCOMPARE(book.GetItemCount(), 2);
    }

    void cancelledModifyLeavesAddMode()
    {
        m_window->m_articleBook.Add(QStringLiteral("冰箱"), QStringLiteral("1"), QStringLiteral("2000"), QStringLiteral("800"), QString());
        m_window->m_articleBook.SetSelected(0);
        {
            CArticleDlg dialog(m_window->m_articleBook, EntryMode::Modify, m_window);
            dialog.reject();
        }
        CArticleDlg next(m_window->m_articleBook, EntryMode::Add, m_window);  // the next one opened to add adds
        QVERIFY(!next.IsModifyMode());
    }

    void findWindowStepsAndClosesWithItsPanel()
    {
        CArticleBook &book = m_window->m_articleBook;
        for (const char *name : {"沙发", "床", "沙发"})
            book.Add(QString::fromUtf8(name), QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("5"), QString());
        m_window->PressButton(1046);
        QVERIFY(m_window->FindWindow());
        QDialog *first = m_window->FindWindow();
        m_window->PressButton(1046);
        QCOMPARE(m_window->FindWindow(), first);  // one at a time
        auto *finder = static_cast<CArticleFindDlg *>(m_window->FindWindow());
        finder->Find();
        QCOMPARE(m_messages->Last(), QStringLiteral("请选择查找的项目"));
        auto *column = Find<QComboBox>(finder, 1055);
        column->setCurrentIndex(0);
        Find<QLineEdit>(finder, 1056)->setText(QStringLiteral("沙发"));
        finder->Find();
        QCOMPARE(book.GetSelected(), 0);
        QVERIFY(Find<QPushButton>(finder, 1057)->isEnabled());
        finder->FindNext();
        QCOMPARE(book.GetSelected(), 2);
        QVERIFY(!Find<QPushButton>(finder, 1057)->isEnabled());
        m_window->PressButton(1000);  // the asset panel left: the window goes
        QVERIFY(!m_window->FindWindow());
        m_window->PressButton(1007);
        m_window->PressButton(1046);
        QVERIFY(m_window->FindWindow());
        m_window->FindWindow()->close();  // cancelled
        QVERIFY(!m_window->FindWindow());
    }

    void insuranceActivitiesKeepThePaidAmount()
    {
        CInsureNoteBook policies;
        for (const char *name : {"车险2021", "车险"})
            policies.AddPolicy(QString::fromUtf8(name), QString(), QString(), QStringLiteral("100"), QStringLiteral("1000"),
                               QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(), QString(),
                               QString(), QString());
        g_memberList = {QStringLiteral("Li"), QString()};
        m_window->PressButton(1019);
        CInsureBook &book = m_window->m_insureBook;
        const auto add = [&](const QString &activity, const QString &amount) -> bool {
            CInsureDlg dialog(m_window->m_insureBook, EntryMode::Add, m_window);
            auto *policy = Find<QComboBox>(&dialog, 1148);
            if (policy->currentIndex() != -1)
                return false;  // nothing is chosen at first
            policy->setCurrentIndex(policy->findText(QStringLiteral("车险")));
            auto *activities = Find<QComboBox>(&dialog, 1151);
            activities->setCurrentIndex(activities->findText(activity));
            Type(&dialog, 1149, amount);
            return dialog.SaveAndClose();
        };
        QVERIFY(!add(QStringLiteral("缴纳保费"), QStringLiteral("1-")));  // a sign after the number
        QCOMPARE(m_messages->Last(), QStringLiteral(" 金额填写错误"));
        QCOMPARE(book.GetItemCount(), 0);
        QVERIFY(add(QStringLiteral("缴纳保费"), QStringLiteral("120")));
        QVERIFY(add(QStringLiteral("保险金给付"), QStringLiteral("5000")));
        QCOMPARE(book.GetItemCount(), 2);
        QCOMPARE(book.GetTotal(), 120.0);  // premiums paid; a benefit received is not one
        QCOMPARE(book.GetRowTexts(0).mid(1, 4), QStringList({"车险", "缴纳保费", "", "-120"}));

        book.SetSelected(0);
        CInsureDlg dialog(m_window->m_insureBook, EntryMode::Modify, m_window);
        QVERIFY(dialog.IsModifyMode());
        QCOMPARE(Find<QComboBox>(&dialog, 1148)->currentText(), QStringLiteral("车险"));  // not 车险2021
        QCOMPARE(Find<QLineEdit>(&dialog, 1149)->text(), QStringLiteral("-120"));
        Type(&dialog, 1149, QStringLiteral("150"));
        QVERIFY(dialog.SaveAndClose());
        QCOMPARE(book.GetTotal(), 150.0);
        QVERIFY(!dialog.IsModifying());
    }

    void policyWithItsOpeningActivity()
    {
        g_memberList = {QStringLiteral("Li"), QString()};
        m_window->PressButton(1019);
        const auto fill = [&](CInsureNoteDlg &dialog, const QString &name, const QString &paid) {
            Find<QLineEdit>(&dialog, 1156)->setText(name);
            Type(&dialog, 1164, QStringLiteral("300"));
            Type(&dialog, 1165, QStringLiteral("100000"));
            Type(&dialog, 1166, paid);
            Find<QComboBox>(&dialog, 1160)->setEditText(QStringLiteral("Li"));
        };
        {
            CInsureNoteDlg dialog(m_window->m_insureBook, EntryMode::Add, QString(), m_window);
            fill(dialog, QStringLiteral("车险"), QStringLiteral("300"));
            Find<QCheckBox>(&dialog, 1162)->click();  // 终生
            QVERIFY(!dialog.findChild<QDateTimeEdit *>(QStringLiteral("1159"))->isEnabled());
            QVERIFY(dialog.SaveAndClose());
        }
        CommittedView view(m_install->DataFile("Kinward.db"));
        QCOMPARE(view.Rows(QStringLiteral("SELECT PayedMoney, EndDate FROM InsureNote WHERE Name='车险'")),
                 QStringList({"300.0|1979-11-25 00:00:00"}));
        QCOMPARE(view.Rows(QStringLiteral("SELECT Active, Money, Member, Explain FROM InsureRecord")),
                 QStringList({"保单开户|-300.0|Li|该项自动填写"}));
        QCOMPARE(m_window->m_insureBook.GetTotal(), 300.0);
        {
            CInsureNoteDlg again(m_window->m_insureBook, EntryMode::Add, QString(), m_window);
            fill(again, QStringLiteral("车险"), QStringLiteral("0"));
            QVERIFY(!again.SaveAndClose());
            QCOMPARE(m_messages->Last(), QStringLiteral(" 保单名称重复,请重新输入"));
            fill(again, QStringLiteral("寿险"), QStringLiteral("0"));
            QVERIFY(again.SaveAndClose());
        }
        QCOMPARE(view.Rows(QStringLiteral("SELECT Money FROM InsureRecord WHERE InsureName='寿险'")), QStringList({"0.0"}));

        CInsureNoteDlg shown(m_window->m_insureBook, EntryMode::Modify, QStringLiteral("车险"), m_window);
        QVERIFY(shown.IsModifyMode());
        QVERIFY(Find<QCheckBox>(&shown, 1162)->isChecked());  // 终生 round trip
        QCOMPARE(Find<QComboBox>(&shown, 1157)->currentIndex(), -1);  // no kind was stored: none is shown
        QVERIFY(!shown.findChild<QDateTimeEdit *>(QStringLiteral("1159"))->isEnabled());
        QVERIFY(!Find<QLineEdit>(&shown, 1166)->isEnabled());
        QCOMPARE(Find<QLineEdit>(&shown, 1166)->text(), QStringLiteral("300"));
        QVERIFY(!Find<QLineEdit>(&shown, 1156)->isEnabled());
        Type(&shown, 1164, QStringLiteral("350"));
        QVERIFY(shown.SaveAndClose());  // same name: no duplicate complaint
        QCOMPARE(view.Rows(QStringLiteral("SELECT PayMoney, PayedMoney FROM InsureNote WHERE Name='车险'")),
                 QStringList({"350.0|300.0"}));
        QVERIFY(!shown.IsModifying());
    }

    void failedOpeningActivityLeavesNoPolicy()
    {
        g_memberList = {QStringLiteral("Li"), QString()};
        m_window->PressButton(1019);
        OpenLedgerDatabase(m_install->DataFile("Kinward.db"))
            ->Execute(QStringLiteral("CREATE TRIGGER refuse AFTER INSERT ON InsureRecord BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        CInsureNoteDlg dialog(m_window->m_insureBook, EntryMode::Add, QString(), m_window);
        Find<QLineEdit>(&dialog, 1156)->setText(QStringLiteral("车险"));
        Type(&dialog, 1164, QStringLiteral("300"));
        Type(&dialog, 1165, QStringLiteral("100000"));
        Type(&dialog, 1166, QStringLiteral("300"));
        QVERIFY(!dialog.SaveAndClose());
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
        CommittedView view(m_install->DataFile("Kinward.db"));
        QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM InsureNote")), QStringList({"0"}));
        QCOMPARE(m_window->m_insureBook.GetItemCount(), 0);
        QCOMPARE(m_window->m_insureBook.GetTotal(), 0.0);
    }

    void deletingAPolicyTakesItsActivities()
    {
        g_memberList = {QStringLiteral("Li"), QString()};
        CInsureNoteBook policies;
        for (const char *name : {"车险", "寿险"})
            policies.AddPolicy(QString::fromUtf8(name), QString(), QString(), QStringLiteral("100"), QStringLiteral("1000"),
                               QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(), QString(),
                               QString(), QString());
        m_window->PressButton(1019);
        CInsureBook &book = m_window->m_insureBook;
        for (const char *money : {"-100", "-120", "500"})
            book.Add(QStringLiteral("2003-02-01"), QStringLiteral("车险"), QString::fromUtf8(money[0] == '-' ? "缴纳保费" : "保险金给付"),
                     QString::fromLatin1(money), QStringLiteral("Li"), QString());
        book.Add(QStringLiteral("2003-02-01"), QStringLiteral("寿险"), QStringLiteral("缴纳保费"), QStringLiteral("-50"),
                 QStringLiteral("Li"), QString());
        QCOMPARE(book.GetTotal(), 270.0);

        CPolicyListDlg list(m_window->m_insureBook, m_window);
        QCOMPARE(list.Policies().GetItemCount(), 2);
        QVERIFY(!Find<QPushButton>(&list, 1177)->isEnabled());
        list.Policies().SetSelected(list.Policies().GetItemText(0, 0) == QStringLiteral("车险") ? 0 : 1);
        QCOMPARE(list.Policies().GetItemText(list.Policies().GetSelected(), 1), QStringLiteral("220"));
        m_messages->answer = false;
        list.DeletePolicy();
        QCOMPARE(m_messages->Last(), QStringLiteral("确定要删除保单 车险 的所有记录吗?"));
        QCOMPARE(book.GetItemCount(), 4);
        m_messages->answer = true;
        list.DeletePolicy();
        QCOMPARE(list.Policies().GetItemCount(), 1);
        QCOMPARE(list.Policies().GetSelected(), -1);
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetTotal(), 50.0);
        CommittedView view(m_install->DataFile("Kinward.db"));
        QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM InsureRecord WHERE InsureName='车险'")), QStringList({"0"}));
    }

    void policyDeleteFailingAtTheEndChangesNothing()
    {
        CInsureNoteBook policies;
        policies.AddPolicy(QStringLiteral("车险"), QString(), QString(), QStringLiteral("100"), QStringLiteral("1000"),
                           QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(), QString(), QString(),
                           QString());
        m_window->PressButton(1019);
        CInsureBook &book = m_window->m_insureBook;
        book.Add(QStringLiteral("2003-02-01"), QStringLiteral("车险"), QStringLiteral("缴纳保费"), QStringLiteral("-100"),
                 QStringLiteral("Li"), QString());
        auto db = OpenLedgerDatabase(m_install->DataFile("Kinward.db"));
        LayDeferredGuard(*db);
        FailCommitOfDeletes(*db, QStringLiteral("InsureNote"));
        CPolicyListDlg list(m_window->m_insureBook, m_window);
        list.Policies().SetSelected(0);
        list.DeletePolicy();
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
        CommittedView view(m_install->DataFile("Kinward.db"));
        QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM InsureRecord")), QStringList({"1"}));
        QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM InsureNote")), QStringList({"1"}));
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetTotal(), 100.0);
        QCOMPARE(list.Policies().GetItemCount(), 1);
    }

    void modifyOfAPolicyGoneMeanwhileIsNotReportedSaved()
    {
        CInsureNoteBook policies;
        policies.AddPolicy(QStringLiteral("车险"), QString(), QString(), QStringLiteral("100"), QStringLiteral("1000"),
                           QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(), QString(), QString(),
                           QString());
        m_window->PressButton(1019);
        CInsureNoteDlg shown(m_window->m_insureBook, EntryMode::Modify, QStringLiteral("车险"), m_window);
        OpenLedgerDatabase(m_install->DataFile("Kinward.db"))->Execute(QStringLiteral("DELETE FROM InsureNote"));
        Type(&shown, 1164, QStringLiteral("350"));
        const int messagesBefore = int(m_messages->messages.size());
        QVERIFY(!shown.SaveAndClose());
        QCOMPARE(int(m_messages->messages.size()), messagesBefore + 1);
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
    }

    void findWindowLeftByEscapeOpensAgain()
    {
        m_window->PressButton(1046);
        QVERIFY(m_window->FindWindow());
        QVERIFY(m_window->FindWindow()->isVisible());
        QTest::keyClick(m_window->FindWindow(), Qt::Key_Escape);
        m_window->PressButton(1046);  // 物品查找 again
        QVERIFY(m_window->FindWindow());
        QVERIFY(m_window->FindWindow()->isVisible());
    }

private:
    std::unique_ptr<OpenLedger> m_open;
    TestInstallation *m_install = nullptr;
    MessageRecorder *m_messages = nullptr;
    CMainDlg *m_window = nullptr;
};

QTEST_MAIN(TestArticleDlg)
#include "tst_articledlg.moc"
