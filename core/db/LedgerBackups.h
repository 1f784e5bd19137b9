// Kept copies of the ledger: Data/Backup/<date and time>/ holds the database (copied online, as
// committed) and the list files. A copy is made aside, checked, and only then put where it is
// offered; a restore checks the copy before it touches the ledger and puts the database and its lists
// back together, so that a crash at any point leaves the old ledger or the restored one.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class SqlConnection;

// The copies kept: the newest ten at most, and together no larger than four times the ledger (or
// 64 MB, for a small ledger); the oldest go first, the newest always stays, and so does the copy kept
// before a restore (the way back) while it is among the ten.
constexpr int kKeptBackups = 10;
constexpr int kKeptSizeTimesLedger = 4;
constexpr qint64 kKeptSizeFloor = qint64(64) * 1024 * 1024;

// The copy that holds the ledger and its lists as they are now: a new one when they changed since the
// newest copy, or the newest. A new copy is made in a folder of its own beside the others, checked
// whole, and only then named; the copies beyond the bound are then removed (never `pinned`). An empty
// text with the reason when no copy could be made; nothing half made is left or offered.
QString MakeBackup(SqlConnection &db, const QString &dataDir, QString *error, const QString &pinned = QString());

// True when the ledger or its lists differ from the newest copy (or there is none): a copy now would
// be a new one.
bool LedgerChangedSinceNewestCopy(SqlConnection &db, const QString &dataDir);

// The whole copies, newest first. A folder with no database, or with one cut short or left with a
// journal of an interrupted write, is not a copy and never offered.
QStringList ListBackups(const QString &dataDir);
// The file of the name in each whole copy that has it, newest first.
QStringList KeptCopiesOfFile(const QString &dataDir, const QString &fileName);

// The room the copies take, for the household to see where it chooses one.
struct BackupSpace
{
    int copies = 0;
    qint64 bytes = 0;   // all copies together
    qint64 limit = 0;   // the most they may take together
};
BackupSpace MeasureBackups(const QString &dataDir);
qint64 BackupSize(const QString &dataDir, const QString &name);
// Whether the copy holds the ledger as it was before a restore: the way back from it.
bool IsCopyBeforeRestore(const QString &dataDir, const QString &name);

enum class RestoreResult {
    Restored,   // the ledger and its lists are the copy's
    Untouched,  // nothing was changed: the copy is damaged, or could not be read or prepared
    Pending,    // the copy was ready but could not be put in place whole: the next start finishes it,
                // and the ledger must not be used meanwhile
};

// Puts the copy back in place of the ledger and its lists. The copy is read whole into a folder aside,
// checked and brought to the present form there; the ledger as it is now is kept as a copy; then a
// mark says the restore is under way, the database and the lists are put in place, and the mark goes.
// *error says why when the result is not Restored.
RestoreResult RestoreBackup(SqlConnection &db, const QString &dataDir, const QString &name, QString *error);

// True while a restore is marked under way: the ledger is half the copy's until the next start.
bool RestoreUnderWay(const QString &dataDir);

// At start, before the ledger is opened or its lists read: a restore interrupted after its mark was
// made is finished, one interrupted before is dropped (the ledger was not touched), and copies never
// finished are removed. One that cannot be finished before its database is put back is dropped too,
// true with *error saying so. False with the reason when the database was put back and the rest
// cannot be: the ledger is then half of each and must not be opened.
bool SettleBackups(const QString &dataDir, QString *error);

// For tests of interruptions: called at each named step of making and restoring a copy.
void SetBackupStepHook(std::function<void(const QString &step)> hook);
