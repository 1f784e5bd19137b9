// The installation: nine tables with the ledger's columns, and an existing installation never overwritten.
#include "db/Installer.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestInstaller : public QObject
{
    Q_OBJECT
private slots:
    void databaseHasTheNineTables()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY2(LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), dir.path(), &error), qPrintable(error));
        auto db = OpenLedgerDatabase(dir.path() + QStringLiteral("/Data/Kinward.db"));
        const QList<QPair<QString, QString>> tables = {
            {"Money", "ID Date Item Money Member Explain"},
            {"Deposit", "ID BDate Account MKind DKind BMoney EMoney EDate Bank Member Explain"},
            {"Current", "ID Date Account Bank MKind Money Reason Member Explain"},
            {"Article", "ID Name Number Cost Value Explain"},
            {"InsureNote", "ID Name InsureKind InsureOrgen PayMoney GetMoney Year StartDate EndDate PayPeople "
                           "BenefitPeople BeInsuredPeople PayedMoney Explain"},
            {"InsureRecord", "ID Date InsureName Active Money Member Explain"},
            {"Credit", "ID Date Active Money People Member Explain"},
            {"Memo", "ID Date Matter Member"},
            {"Address", "ID Name Work Company CompanyTel HomeTel Fax Email Mobile CompanyAddress HomeAddress "
                        "Postalcode City Province Note1 Note2"},
        };
        for (const auto &table : tables) {
            SqlStatement info = db->Prepare(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table.first));
            QStringList columns;
            while (info.Step())
                columns.append(info.Text(0));
            QCOMPARE(columns.join(' '), table.second);
        }
        for (const char *file : {"Sys.kwl", "Member.kwl", "Item.kwl", "Article.kwl", "Mkind.kwl", "Bank.kwl",
                                 "Rate.kwl", "Curnote.kwl", "Inskind.kwl", "Insorgan.kwl"})
            QVERIFY2(QFile::exists(dir.path() + QStringLiteral("/Data/") + QString::fromLatin1(file)), file);
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/Picture/Backmap.bmp")));
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/Picture/Morvane.bmp")));
    }

    void existingInstallationIsKept()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), dir.path(), &error));
        {
            auto db = OpenLedgerDatabase(dir.path() + QStringLiteral("/Data/Kinward.db"));
            db->Execute(QStringLiteral("INSERT INTO Memo (Matter) VALUES ('keep me')"));
        }
        QFile bank(dir.path() + QStringLiteral("/Data/Bank.kwl"));
        QVERIFY(bank.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bank.write("mine#");
        bank.close();
        QFile::remove(dir.path() + QStringLiteral("/Data/Item.kwl"));

        QVERIFY(LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), dir.path(), &error));
        auto db = OpenLedgerDatabase(dir.path() + QStringLiteral("/Data/Kinward.db"));
        SqlStatement count = db->Prepare(QStringLiteral("SELECT count(*) FROM Memo"));
        count.Step();
        QCOMPARE(count.Int(0), 1);
        QVERIFY(bank.open(QIODevice::ReadOnly));
        QCOMPARE(bank.readAll(), QByteArray("mine#"));
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/Data/Item.kwl")));  // a missing file is restored
    }

    // Started from the desktop menu: the user's own ledger below the data folder, laid once.
    void userInstallationBelowTheDataFolder()
    {
        QTemporaryDir home;
        QString error;
        const QString laid = LayUserInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), home.path(), &error);
        QCOMPARE(laid, home.path() + QStringLiteral("/zarvel"));
        QVERIFY(QFile::exists(laid + QStringLiteral("/Data/Kinward.db")));
        QFile members(laid + QStringLiteral("/Data/Member.kwl"));
        QVERIFY(members.open(QIODevice::WriteOnly | QIODevice::Truncate));
        members.write("Li##");
        members.close();
        QCOMPARE(LayUserInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), home.path(), &error), laid);
        QVERIFY(members.open(QIODevice::ReadOnly));
        QCOMPARE(members.readAll(), QByteArray("Li##"));
        QVERIFY(LayUserInstallation(home.path() + QStringLiteral("/no-template"), home.path() + QStringLiteral("/other"), &error)
                    .isEmpty());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInstaller)
#include "tst_installer.moc"
