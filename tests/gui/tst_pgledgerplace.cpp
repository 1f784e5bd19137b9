// 帐本位置 as a household uses it: the ledger file moved to a server ledger and used from then on, a
// second computer's records and list changes shown within a second, the server lost and found again,
// an export taken home, and back to the ledger file; and what it refuses.
#include "app/CMainDlg.h"
#include "common/LedgerDate.h"
#include "db/LedgerPlace.h"
#include "db/Ledger.h"
#include "db/ServerLedger.h"
#include "db/SqliteConnection.h"
#include "lists/CLedgerPlaceDlg.h"
#include "lists/CServerLoginDlg.h"
#include "lists/CSettingsDlg.h"
#include "lists/ReferenceLists.h"

#include "MessageRecorder.h"
#include "PgTestServer.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

CMainDlg::Options Quiet()
{
    CMainDlg::Options options;
    options.showSplash = false;
    return options;
}

void FillServerFields(CLedgerPlaceDlg &dialog, const PgSettings &settings)
{
    dialog.findChild<QRadioButton *>(QStringLiteral("server"))->setChecked(true);
    dialog.findChild<QLineEdit *>(QStringLiteral("host"))->setText(settings.host);
    dialog.findChild<QSpinBox *>(QStringLiteral("port"))->setValue(settings.port);
    dialog.findChild<QLineEdit *>(QStringLiteral("database"))->setText(settings.database);
    dialog.findChild<QLineEdit *>(QStringLiteral("user"))->setText(settings.user);
    dialog.findChild<QLineEdit *>(QStringLiteral("password"))->setText(settings.password);
}

QString Status(CLedgerPlaceDlg &dialog)
{
    return dialog.findChild<QLabel *>(QStringLiteral("status"))->text();
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPgLedgerPlace : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        UseLedgerFile();
        ClearReferenceLists();
    }

    void aHouseholdMovesItsLedgerToTheServerAndWorksFromTwoComputers()
    {
        TestDatabase database;
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        for (int i = 0; i < 3; ++i)
            QVERIFY(window.m_moneyBook.Add(LedgerDateTime(QDate(2026, 1, 1 + i)), QStringLiteral("工资"), 100 + i, QString(), QString()));

        const std::unique_ptr<CSettingsDlg> settings = window.MakeSettings();
        std::unique_ptr<QDialog> editor(settings->MakeEditor(QStringLiteral("帐本位置")));
        auto &place = static_cast<CLedgerPlaceDlg &>(*editor);
        FillServerFields(place, database.Settings());
        place.TestConnection();
        QVERIFY2(Status(place).contains(QStringLiteral("是空的")), qPrintable(Status(place)));
        place.MigrateToServer();  // both questions answered yes: moved, then used
        QVERIFY2(UsesServerLedger(), qPrintable(Status(place) + messages.Texts().join(QLatin1Char('\n'))));
        QVERIFY(place.result() == QDialog::Accepted);

        // Kept for the next start, without the password.
        const LedgerPlace kept = ReadLedgerPlace();
        QVERIFY(kept.onServer);
        QCOMPARE(kept.server.database, database.Name());
        QVERIFY(!FileBytes(install.DataFile(QStringLiteral("Place.kwl"))).contains("zarvel-test"));
        QVERIFY(window.windowTitle().contains(QStringLiteral("服务器帐本")));
        window.m_moneyBook.ComputeTotal();
        QCOMPARE(window.m_moneyBook.GetTotalCents(), qint64(30300));
        QVERIFY(!g_itemList.isEmpty());  // the lists came along
        messages.Clear();
        window.TakeBackLastChange();  // another computer may have built on it: not offered
        QVERIFY(messages.Last().contains(QStringLiteral("不能撤销")));

        // Another computer adds a record and an item: shown here within a second, nothing pressed.
        const auto other = PgConnection::Open(database.Settings());
        other->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\") VALUES ('2026-02-01 00:00:00', '工资', 50)"));
        QTRY_COMPARE_WITH_TIMEOUT(window.m_moneyBook.GetTotalCents(), qint64(35300), 1000);
        // The record the household had selected stays selected when the list is read again.
        window.m_moneyBook.SetSelected(1);
        const qint64 chosen = window.m_moneyBook.GetItemData(1);
        other->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\") VALUES ('2025-01-01 00:00:00', '工资', 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(window.m_moneyBook.GetItemCount(), 5, 1000);
        QCOMPARE(window.m_moneyBook.GetItemData(window.m_moneyBook.GetSelected()), chosen);
        // Every book lists the other computer's new records, not only its totals.
        const int memos = window.m_memoBook.GetItemCount();
        other->Execute(QStringLiteral("INSERT INTO \"Memo\" (\"Date\", \"Matter\") VALUES ('2026-02-01 00:00:00', '交水费')"));
        QTRY_COMPARE_WITH_TIMEOUT(window.m_memoBook.GetItemCount(), memos + 1, 1000);
        QByteArray items = "\xca\xd5\xc8\xeb    \xb9\xa4\xd7\xca#\xd6\xa7\xb3\xf6    \xd0\xc2\xcf\xee#";  // 收入 工资, 支出 新项 in GBK
        {
            SqlStatement put = other->Prepare(QStringLiteral("UPDATE \"ListFiles\" SET \"Content\" = ? WHERE \"Name\" = 'Item.kwl'"));
            put.BindBlob(1, items);
            put.Run();
        }
        QTRY_COMPARE_WITH_TIMEOUT(g_itemList.size(), 2, 1000);
        QCOMPARE(g_itemList.last(), QStringLiteral("支出    新项"));

        // The server goes away for this copy: told once, the title says so, and it comes back by itself.
        messages.Clear();
        other->Execute(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() "
                                      "AND pid <> pg_backend_pid()"));
        QTRY_VERIFY_WITH_TIMEOUT(window.windowTitle().contains(QStringLiteral("连接已断开")), 2000);
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(messages.Last().contains(QStringLiteral("连接已断开")));
        QTRY_VERIFY_WITH_TIMEOUT(!window.windowTitle().contains(QStringLiteral("连接已断开")), 8000);
        QCOMPARE(messages.messages.size(), 1);
        other->Execute(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\") VALUES ('2026-02-02 00:00:00', '工资', 1)"));
        QTRY_COMPARE_WITH_TIMEOUT(window.m_moneyBook.GetTotalCents(), qint64(35400), 1000);

        // A copy to keep at home, then back to the ledger file, which kept what it had.
        const QString exported = install.Path() + QStringLiteral("/home-copy.db");
        place.ExportToFile(exported);
        QVERIFY2(Status(place).contains(QStringLiteral("已导出")), qPrintable(Status(place)));
        QCOMPARE(QueryRowTexts(*SqliteConnection::OpenAside(exported), QStringLiteral("SELECT count(*) FROM \"Money\"")),
                 QStringList{QStringLiteral("6")});
        place.findChild<QRadioButton *>(QStringLiteral("file"))->setChecked(true);
        place.accept();
        QVERIFY(!UsesServerLedger());
        QVERIFY(!ReadLedgerPlace().onServer);
        QCOMPARE(window.windowTitle(), QStringLiteral("Zarvel V1.07"));
        window.m_moneyBook.ComputeTotal();
        QCOMPARE(window.m_moneyBook.GetTotalCents(), qint64(30300));
    }

    // The server answers but the ledger's database is gone: the title says so while it keeps trying,
    // and the window goes on answering meanwhile.
    void theTitleSaysWhyTheServerIsStillAway()
    {
        auto database = std::make_unique<TestDatabase>();
        LayServerLedger(*PgConnection::Open(database->Settings()), CLedgerPlaceDlg::SchemaPath());
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        UseServerLedger(database->Settings());
        window.ChangeLedgerPlace();
        QVERIFY(window.windowTitle().contains(QStringLiteral("服务器帐本")));
        messages.Clear();  // a ledger laid without lists says so for each
        const QString name = database->Name();
        database.reset();  // dropped, its connections ended
        QTRY_VERIFY_WITH_TIMEOUT(window.windowTitle().contains(QStringLiteral("没有数据库 ") + name), 8000);
        QVERIFY2(messages.messages.size() == 1, qPrintable(messages.Texts().join(QLatin1Char(10))));  // the loss, told once
    }

    void whatTheDialogRefuses()
    {
        TestInstallation install;
        MessageRecorder messages;
        CLedgerPlaceDlg place;
        place.findChild<QRadioButton *>(QStringLiteral("server"))->setChecked(true);
        place.accept();
        QCOMPARE(Status(place), QStringLiteral("请填写服务器的主机。"));

        TestDatabase database;
        PgSettings wrong = database.Settings();
        wrong.password = QStringLiteral("not-it");
        FillServerFields(place, wrong);
        place.accept();
        QVERIFY2(Status(place).contains(QStringLiteral("拒绝了用户名或密码")), qPrintable(Status(place)));
        QVERIFY(!UsesServerLedger());

        // Another program's tables: never laid over.
        PgConnection::Open(database.Settings())->Execute(QStringLiteral("CREATE TABLE invoices (id int)"));
        FillServerFields(place, database.Settings());
        place.accept();
        QVERIFY2(Status(place).contains(QStringLiteral("别的程序的表")), qPrintable(Status(place)));
        place.MigrateToServer();
        QVERIFY2(Status(place).contains(QStringLiteral("没有迁移")), qPrintable(Status(place)));
        QVERIFY(!UsesServerLedger());
        QVERIFY(!ReadLedgerPlace().onServer);

        // An empty database gets a new ledger with this folder's lists, when the household agrees.
        TestDatabase empty;
        FillServerFields(place, empty.Settings());
        messages.answer = false;
        place.accept();
        QVERIFY(!UsesServerLedger());
        messages.answer = true;
        place.accept();
        QVERIFY(UsesServerLedger());
        const auto db = PgConnection::Open(empty.Settings());
        QCOMPARE(LookAtServerDatabase(*db), ServerContents::Ledger);
        QCOMPARE(QueryRowTexts(*db, QStringLiteral("SELECT count(*) FROM \"ListFiles\"")), QStringList{QStringLiteral("10")});
    }

    // At start: a password the server refuses is asked again with the server's reason; the ledger file
    // may be used for the run instead, and the choice kept stays.
    void theStartAsksForThePassword()
    {
        TestDatabase database;
        LayServerLedger(*PgConnection::Open(database.Settings()), CLedgerPlaceDlg::SchemaPath());
        TestInstallation install;
        MessageRecorder messages;
        PgSettings kept = database.Settings();
        kept.password.clear();
        QStringList problems;
        int round = 0;
        // The answers typed, in turn, whenever the question is on screen.
        const QStringList answers{QStringLiteral("wrong"), QStringLiteral("zarvel-test")};
        QTimer typist;
        QObject::connect(&typist, &QTimer::timeout, [&] {
            auto *ask = qobject_cast<CServerLoginDlg *>(QApplication::activeModalWidget());
            if (!ask || !ask->isVisible() || round >= answers.size())
                return;
            problems.append(ask->findChild<QLabel *>(QStringLiteral("problem"))->text());
            ask->findChild<QLineEdit *>(QStringLiteral("password"))->setText(answers.at(round++));
            ask->accept();
        });
        typist.start(20);
        QVERIFY(CServerLoginDlg::EnterServerLedger(kept));
        QCOMPARE(round, 2);
        QCOMPARE(problems.value(0), QStringLiteral("请输入服务器的密码："));
        QVERIFY2(problems.value(1).contains(QStringLiteral("拒绝了用户名或密码")), qPrintable(problems.value(1)));
        QVERIFY(UsesServerLedger());

        // Remembered for the run (no secret store here), so a later start of the window asks nothing.
        UseLedgerFile();
        QVERIFY(CServerLoginDlg::EnterServerLedger(kept));
        QCOMPARE(round, 2);
        QVERIFY(UsesServerLedger());
    }
};

QTEST_MAIN(TestPgLedgerPlace)
#include "tst_pgledgerplace.moc"
