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
#include "lists/ListFile.h"

#include <QFileInfo>
#include <utility>

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

// The list files of a server ledger: a table of it, read and written through its connection. A
// failure is the list's own (its load or save says so), with the reason. A list is written over only
// as it was last read here: another computer's save in between (or a list this copy could not read)
// refuses the write instead of being lost.
class ServerListStore : public IListStore
{
public:
    bool Read(const QString &name, QByteArray *content) override
    {
        m_seen.remove(name);
        try {
            SqlStatement read = OpenLedgerDatabase()->Prepare(QStringLiteral("SELECT \"Content\" FROM \"ListFiles\" WHERE \"Name\" = ?"));
            read.Bind(1, name);
            if (!read.Step())
                return false;
            *content = read.Blob(0);
            m_seen.insert(name, *content);
            return true;
        } catch (const DbError &) {
            return false;
        }
    }
    bool Write(const QString &name, const QByteArray &content) override
    {
        m_failure.clear();
        try {
            const std::shared_ptr<SqlConnection> db = OpenLedgerDatabase();
            const auto seen = m_seen.constFind(name);
            SqlStatement put = db->Prepare(
                seen != m_seen.constEnd()
                    ? QStringLiteral("UPDATE \"ListFiles\" SET \"Content\" = ? WHERE \"Name\" = ? AND \"Content\" = ?")
                    : QStringLiteral("INSERT INTO \"ListFiles\" (\"Content\", \"Name\") VALUES (?, ?) ON CONFLICT (\"Name\") DO NOTHING"));
            put.BindBlob(1, content);
            put.Bind(2, name);
            if (seen != m_seen.constEnd())
                put.BindBlob(3, *seen);
            put.Run();
            if (db->RowsChanged() != 1) {
                m_failure = QStringLiteral("这个列表刚被另一台电脑改过（或本机没能读到它），您的改动没有保存。列表已按服务器上的重新读入，请再改一次。");
                return false;
            }
            m_seen.insert(name, content);
            return true;
        } catch (const DbError &error) {
            m_failure = error.Explanation();
            return false;
        }
    }
    QString LastFailure() const override { return m_failure; }

private:
    QHash<QString, QByteArray> m_seen;  // each list as last read or written here
    QString m_failure;
};

ServerListStore &ListStore()
{
    static ServerListStore store;
    return store;
}

std::shared_ptr<SqlConnection> OpenServerLedgerDatabase();

// The journal of the connection last brought up to date.
std::unique_ptr<ChangeJournal> &CurrentJournal()
{
    static std::unique_ptr<ChangeJournal> journal;
    return journal;
}

} // namespace

namespace {

std::shared_ptr<SqlConnection> &ScopedConnection()
{
    static thread_local std::shared_ptr<SqlConnection> connection;
    return connection;
}

} // namespace

LedgerConnectionScope::LedgerConnectionScope(std::shared_ptr<SqlConnection> connection)
    : m_previous(std::exchange(ScopedConnection(), std::move(connection)))
{
}

LedgerConnectionScope::~LedgerConnectionScope()
{
    ScopedConnection() = std::move(m_previous);
}

std::shared_ptr<SqlConnection> OpenLedgerDatabase()
{
    if (const std::shared_ptr<SqlConnection> &scoped = ScopedConnection())
        return scoped;
    return Server().settings ? OpenServerLedgerDatabase() : OpenLedgerDatabase(DatabasePath());
}

void UseLedgerFile()
{
    // The journal kept the server's changes: the file's are kept again from its next opening on.
    if (Server().settings)
        CurrentJournal().reset();
    Server() = ServerLedger();
    SetListStore(nullptr);
}

void UseServerLedger(const PgSettings &settings)
{
    ListStore() = ServerListStore();
    CurrentJournal().reset();
    Server().connection.reset();
    Server().settings = std::make_unique<PgSettings>(settings);
    SetListStore(&ListStore());
}

const PgSettings *ServerLedgerSettings()
{
    return Server().settings.get();
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
    // The books keep the connection they opened: a lost one is made again in place, not replaced.
    if (server.connection) {
        if (!server.connection->Reconnect())
            throw DbError(QStringLiteral("与服务器 %1 的连接已断开，正在重新连接。").arg(server.settings->Describe()));
        return server.connection;
    }
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
    EnsureServerHelpers(*db);
    EnsureKeptFigures(*db);
    EnsureServerSharing(*db);
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
