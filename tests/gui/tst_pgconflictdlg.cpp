// The entry dialogs on a server ledger another computer writes too: a save refused because the record
// was changed or deleted meanwhile is told as such, the dialog stays open with what was typed, and
// the list shows the record as it now is; a second save, made knowing that, is written.
#include "common/LedgerDate.h"
#include "controls/CEntryComboBox.h"
#include "db/CCurrentBook.h"
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "dialogs/CCurrentBalanceDlg.h"
#include "dialogs/CMoneyDlg.h"
#include "lists/ReferenceLists.h"

#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "PgTestServer.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QString Cell(SqlConnection &db, const QString &sql)
{
    return QueryRowTexts(db, sql).value(0);
}

} // namespace

class TestPgConflictDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_database = std::make_unique<TestDatabase>();
        LayServerLedger(*PgConnection::Open(m_database->Settings()), QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql"));
        m_install = std::make_unique<TestInstallation>();
        // The lists the dialogs choose from, as the program reads them at start.
        LoadItemFile();
        LoadMemberFile();
        LoadMkindFile();
        LoadBankFile();
        UseServerLedger(m_database->Settings());
        m_other = PgConnection::Open(m_database->Settings());
    }
    void cleanup()
    {
        UseLedgerFile();
        m_other.reset();
        m_install.reset();
        m_database.reset();
    }

    void aSaveRefusedKeepsTheDialogAndWhatWasTyped()
    {
        MessageRecorder messages;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2026, 3, 1), QTime(9, 0)), QStringLiteral("餐饮"), -30, QStringLiteral("妈妈"), QStringLiteral("午饭"));
        book.SetSelected(0);
        const qint64 id = book.GetItemData(0);
        CMoneyDlg dialog(book, EntryMode::Modify, nullptr);
        dialog.show();
        Type(&dialog, 1006, QStringLiteral("45"));
        Find<QPlainTextEdit>(&dialog, 1009)->setPlainText(QStringLiteral("晚饭"));

        // Meanwhile another computer changes the record.
        m_other->Execute(QStringLiteral("UPDATE \"Money\" SET \"Money\" = -32, \"Explain\" = '另一台' WHERE \"ID\" = %1").arg(id));
        QVERIFY(!dialog.SaveAndContinue());
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages.first().caption, RecordChangedElsewhere::Caption());
        QVERIFY(messages.messages.first().icon == MessageIcon::Warning);
        QVERIFY2(messages.Last().contains(QStringLiteral("另一台电脑修改")), qPrintable(messages.Last()));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.IsModifying());
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("45"));
        QCOMPARE(Find<QPlainTextEdit>(&dialog, 1009)->toPlainText(), QStringLiteral("晚饭"));
        QCOMPARE(book.GetItemText(0, 3), QStringLiteral("-32"));
        QCOMPARE(book.GetItemText(0, 5), QStringLiteral("另一台"));
        QCOMPARE(Cell(*m_other, QStringLiteral("SELECT \"Money\" FROM \"Money\" WHERE \"ID\" = %1").arg(id)), QStringLiteral("-32.0"));

        // Saved again, having seen it: written over the other computer's change.
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(Cell(*m_other, QStringLiteral("SELECT \"Money\", \"Explain\" FROM \"Money\" WHERE \"ID\" = %1").arg(id)),
                 QStringLiteral("-45.0|晚饭"));
        QCOMPARE(book.GetItemText(0, 3), QStringLiteral("-45"));
    }

    void aSaveOfARecordDeletedElsewhereChangesNoOtherRecord()
    {
        MessageRecorder messages;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        for (int day = 1; day <= 2; ++day)
            book.Add(LedgerDateTime(QDate(2026, 3, day), QTime(9, 0)), QStringLiteral("餐饮"), -10.0 * day, QStringLiteral("妈妈"), QString());
        book.SetSelected(0);
        const qint64 gone = book.GetItemData(0), other = book.GetItemData(1);
        CMoneyDlg dialog(book, EntryMode::Modify, nullptr);
        dialog.show();
        Type(&dialog, 1006, QStringLiteral("99"));
        m_other->Execute(QStringLiteral("DELETE FROM \"Money\" WHERE \"ID\" = %1").arg(gone));

        QVERIFY(!dialog.SaveAndContinue());
        QVERIFY2(messages.Last().contains(QStringLiteral("另一台电脑删除")), qPrintable(messages.Last()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("99"));
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetSelected(), -1);
        // A second save finds nothing chosen: the neighbour that took the row's place stays as it was.
        messages.Clear();
        QVERIFY(!dialog.SaveAndContinue());
        QCOMPARE(Cell(*m_other, QStringLiteral("SELECT \"Money\" FROM \"Money\" WHERE \"ID\" = %1").arg(other)), QStringLiteral("-20.0"));
        QCOMPARE(Cell(*m_other, QStringLiteral("SELECT count(*) FROM \"Money\"")), QStringLiteral("1"));
    }

    void closingAnAccountClosedElsewhereIsToldAndTheListFollows()
    {
        MessageRecorder messages;
        CCurrentBook book;
        book.Fill(QStringLiteral("Date"));
        for (const QString &account : {QStringLiteral("工资卡"), QStringLiteral("零钱")})
            book.Add(QStringLiteral("2026-01-05"), account, QStringLiteral("工商银行"), QStringLiteral("人民币"), QStringLiteral("100"), QString(),
                     QStringLiteral("爸爸"), QString());
        CCurrentBalanceDlg dialog(book, nullptr);
        dialog.show();
        auto *list = Find<QTreeWidget>(&dialog, 1110);
        QCOMPARE(list->topLevelItemCount(), 2);
        m_other->Execute(QStringLiteral("DELETE FROM \"Current\" WHERE \"Account\" = '工资卡'"));
        list->setCurrentItem(list->topLevelItem(0));
        messages.answer = true;
        Find<QPushButton>(&dialog, 1112)->click();
        QVERIFY2(messages.Last().contains(QStringLiteral("已由另一台电脑销户")), qPrintable(messages.Last()));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("零钱"));
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(Cell(*m_other, QStringLiteral("SELECT count(*) FROM \"Current\"")), QStringLiteral("1"));
    }

private:
    std::unique_ptr<TestDatabase> m_database;
    std::unique_ptr<TestInstallation> m_install;
    std::shared_ptr<PgConnection> m_other;
};

QTEST_MAIN(TestPgConflictDlg)
#include "tst_pgconflictdlg.moc"
