// The ledger's opening: the connection, then the form, copied first.
#include "Ledger.h"

#include "common/Paths.h"
#include "db/ChangeJournal.h"
#include "db/KeptFigures.h"
#include "db/LedgerBackups.h"
#include "db/SqliteConnection.h"

#include <QFileInfo>

std::shared_ptr<SqlConnection> OpenLedgerDatabase()
{
    return OpenLedgerDatabase(DatabasePath());
}

namespace {

// The journal of the connection last brought up to date.
std::unique_ptr<ChangeJournal> &CurrentJournal()
{
    static std::unique_ptr<ChangeJournal> journal;
    return journal;
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
