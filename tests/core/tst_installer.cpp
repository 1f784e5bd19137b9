// The installation: nine tables with the ledger's columns, and an existing installation never overwritten.
#include "common/WholeFile.h"
#include "db/Installer.h"
#include "db/LedgerBackups.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QDirIterator>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Mode(const QString &path)
{
    struct stat entry {};
    return ::lstat(QFile::encodeName(path).constData(), &entry) == 0 ? int(entry.st_mode & 0777) : -1;
}

} // namespace

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

    // The user's own installation is the owner's alone, and so is everything the program makes in it.
    void anOwnInstallationIsMadePrivateAndStaysSo()
    {
        const mode_t before = ::umask(022);
        QTemporaryDir dir;
        QString error;
        QVERIFY(LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), dir.path(), &error));
        const QString data = dir.path() + QStringLiteral("/Data");
        QVERIFY(QDir(data).mkpath(QStringLiteral("Backup/2026-01-01 10-00-00")));
        QVERIFY(WriteWholeFile(data + QStringLiteral("/Backup/2026-01-01 10-00-00/Kinward.db"), "copy"));
        QCOMPARE(Mode(data + QStringLiteral("/Member.kwl")), 0644);
        const auto modesBelow = [&data] {
            QStringList wrong;
            QDirIterator below(data, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (below.hasNext()) {
                const QString path = below.next();
                if (Mode(path) != (below.fileInfo().isDir() ? 0700 : 0600))
                    wrong << path;
            }
            return wrong;
        };
        // A shared installation folder of another owner is left as it is.
        if (::geteuid() == 0) {
            QVERIFY(::chown(QFile::encodeName(dir.path()).constData(), 65534, 65534) == 0);
            QVERIFY(!KeepInstallationPrivate(dir.path()));
            QCOMPARE(Mode(data + QStringLiteral("/Member.kwl")), 0644);
            QVERIFY(::chown(QFile::encodeName(dir.path()).constData(), 0, 0) == 0);
        }
        // A folder with a Data folder but no ledger in it is not the program's to change.
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkpath(QStringLiteral("Data")));
        QVERIFY(WriteWholeFile(other.path() + QStringLiteral("/Data/script.sh"), "#!/bin/sh"));
        QVERIFY(QFile::setPermissions(other.path() + QStringLiteral("/Data/script.sh"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(!KeepInstallationPrivate(other.path()));
        QCOMPARE(Mode(other.path() + QStringLiteral("/Data/script.sh")), 0705);

        // A file the household made read-only stays read-only: only the others lose their reading.
        const QString readOnly = data + QStringLiteral("/Bank.kwl");
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(KeepInstallationPrivate(dir.path()));
        QCOMPARE(Mode(readOnly), 0400);
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(Mode(data), 0700);
        QCOMPARE(modesBelow(), QStringList());
        // What the program writes afterwards: a list, the ledger's journal files, a kept copy.
        QVERIFY(WriteWholeFile(data + QStringLiteral("/Item.kwl"), "x"));
        {
            auto db = OpenLedgerDatabase(data + QStringLiteral("/Kinward.db"));
            db->Execute(QStringLiteral("CREATE TABLE \"Scratch\" (\"N\" INTEGER)"));
            QVERIFY(!MakeBackup(*db, data, &error).isEmpty());
        }
        QCOMPARE(modesBelow(), QStringList());
        ::umask(before);
    }

    // A Data folder that is a link into a folder shared with the family (its files read and written
    // by the group) is not the installation's own: what the link points at keeps its modes.
    void aLinkedDataFolderIsNotFollowed()
    {
        const mode_t before = ::umask(022);
        QTemporaryDir shared;
        QString error;
        QVERIFY(LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), shared.path(), &error));
        const QString target = shared.path() + QStringLiteral("/Data");
        QVERIFY(QFile::setPermissions(target + QStringLiteral("/Member.kwl"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0770) == 0);
        QTemporaryDir own;
        QVERIFY(QFile::link(target, own.path() + QStringLiteral("/Data")));
        KeepInstallationPrivate(own.path());
        ::umask(before);
        QCOMPARE(Mode(target), 0770);
        QCOMPARE(Mode(target + QStringLiteral("/Member.kwl")), 0660);
    }
};

QTEST_GUILESS_MAIN(TestInstaller)
#include "tst_installer.moc"
