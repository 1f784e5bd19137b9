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

// The journal of the connection last brought up to date.
std::unique_ptr<ChangeJournal> &CurrentJournal()
{
    static std::unique_ptr<ChangeJournal> journal;
    return journal;
}

} // namespace

std::shared_ptr<SqlConnection> OpenLedgerDatabase()
{
    return Server().settings ? OpenServerLedgerDatabase() : OpenLedgerDatabase(DatabasePath());
}

void UseLedgerFile()
{
    // The journal kept the server's changes: the file's are kept again from its next opening on.
    if (Server().settings)
        CurrentJournal().reset();
    Server() = ServerLedger();
}

void UseServerLedger(const PgSettings &settings)
{
    CurrentJournal().reset();
    Server().connection.reset();
    Server().settings = std::make_unique<PgSettings>(settings);
}

bool UsesServerLedger()
{
    return Server().settings != nullptr;
}

namespace {

// The server ledger's connection, opened the first time and again after it was lost. Its form is
// brought up to date as the file's is (without a copy: the server keeps its own).
std::shared_ptr<SqlConnection> OpenServerLedgerDatabase()
{
    ServerLedger &server = Server();
    if (server.connection && server.connection->IsConnected())
        return server.connection;
    std::shared_ptr<PgConnection> db = PgConnection::Open(*server.settings);
    if (!db->HasTable(QStringLiteral("Money")))
        throw DbError(QStringLiteral("服务器上的数据库 %1 中还没有帐本。请在“帐本位置”中建立服务器帐本。").arg(server.settings->database));
    EnsureServerHelpers(*db);
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
    if (current.lock() == db && CurrentJournal())
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
