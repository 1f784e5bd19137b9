// The ledger's opening: the connection, then the form, copied first.
#include "Ledger.h"

#include "common/Paths.h"
#include "db/ChangeJournal.h"
#include "db/KeptFigures.h"
#include "db/DbError.h"
#include "db/LedgerBackups.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "db/SqliteConnection.h"

#include <QFileInfo>

namespace {

// The server ledger in use, when one is: its settings, and the connection every book shares.
struct ServerLedger
{
    std::unique_ptr<PgSettings> settings;
    std::shared_ptr<PgConnection> connection;
};

ServerLedger &Server()
{
    static ServerLedger server;
    return server;
}

std::shared_ptr<SqlConnection> OpenServerLedgerDatabase();

} // namespace

std::shared_ptr<SqlConnection> OpenLedgerDatabase()
{
    return Server().settings ? OpenServerLedgerDatabase() : OpenLedgerDatabase(DatabasePath());
}

void UseLedgerFile()
{
    Server() = ServerLedger();
}

void UseServerLedger(const PgSettings &settings)
{
    Server().connection.reset();
    Server().settings = std::make_unique<PgSettings>(settings);
}

bool UsesServerLedger()
{
    return Server().settings != nullptr;
}

namespace {

// The journal of the connection last brought up to date.
std::unique_ptr<ChangeJournal> &CurrentJournal()
{
    static std::unique_ptr<ChangeJournal> journal;
    return journal;
}

// The server ledger's connection, opened the first time and again after it was lost. Its form is
// brought up to date as the file's is (without a copy: the server keeps its own).
std::shared_ptr<SqlConnection> OpenServerLedgerDatabase()
{
    ServerLedger &server = Server();
    if (server.connection && server.connection->IsConnected())
        return server.connection;
    std::shared_ptr<PgConnection> db = PgConnection::Open(*server.settings);
    // A server ledger is laid with its form table: a database without one is another program's (even
    // one with a table of the ledger's names), and nothing of the ledger's is laid in it.
    if (!db->HasTable(QStringLiteral("ZarvelForm")) || !db->HasTable(QStringLiteral("Money"))) {
        const QStringList others = ServerTables(*db);
        if (others.isEmpty())
            throw DbError(QStringLiteral("服务器上的数据库 %1 中还没有帐本。请在“帐本位置”中建立服务器帐本。").arg(server.settings->database));
        throw DbError(QStringLiteral("服务器上的数据库 %1 中没有 Zarvel 帐本，而有别的程序的表（%2），没有打开它。请检查数据库名。")
                          .arg(server.settings->database, others.mid(0, 5).join(QStringLiteral("、"))));
    }
    EnsureKeptFigures(*db);
    server.connection = db;
    CurrentJournal() = std::make_unique<ChangeJournal>(db);
    return db;
}

} // namespace

ChangeJournal &LedgerJournal()
{
    if (!CurrentJournal())
        OpenLedgerDatabase();
    return *CurrentJournal();
}

std::shared_ptr<SqlConnection> OpenLedgerDatabase(const QString &path)
{
    // The connection last brought up to date: record sets open the ledger again and again, and its
    // form is looked at once per connection.
    static std::weak_ptr<SqlConnection> current;
    std::shared_ptr<SqlConnection> db = SqliteConnection::Open(path);
    if (current.lock() == db)
        return db;
    // Copied before its form changes; the upgrade is one transaction either way, so a copy that cannot
    // be made does not keep the household out of its ledger. A ledger that cannot be written cannot be
    // upgraded either: no copy of it is needed.
    EnsureKeptFigures(*db, [&db] {
        if (LedgerHasRecords(*db) && !db->IsReadOnly()) {
            QString error;
            MakeBackup(*db, QFileInfo(db->Path()).absolutePath(), &error);
        }
    });
    current = db;
    // From now on every change written to the ledger can be taken back.
    CurrentJournal() = std::make_unique<ChangeJournal>(db);
    return db;
}
