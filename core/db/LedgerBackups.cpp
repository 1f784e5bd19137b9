// Kept copies of the ledger: made aside and checked, offered only whole, put back all together.
#include "LedgerBackups.h"

#include "common/LedgerDate.h"
#include "common/WholeFile.h"
#include "db/DatabaseFile.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/SqliteConnection.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace {

const QString kDatabase = QStringLiteral("Kinward.db");
// What the ledger was when a copy was made, so an unchanged ledger is not copied again.
const QString kSource = QStringLiteral("Source.txt");
// A copy being made, before it is checked and named; never offered, removed at the next start.
const QString kMakingPrefix = QStringLiteral(".making-");
// A restore being prepared beside the ledger, and the mark that says it is ready to be put in place.
const QString kRestoreFolder = QStringLiteral(".restore");
const QString kRestoreMark = QStringLiteral("ready");
// In a copy that holds the ledger as it was before a restore: the way back, kept by the count of ten
// alone, since the room for copies is reckoned from the ledger restored, which may be much smaller.
const QString kBeforeRestore = QStringLiteral("BeforeRestore.txt");

std::function<void(const QString &)> g_stepHook;

void Step(const QString &name)
{
    if (g_stepHook)
        g_stepHook(name);
}

QDir BackupRoot(const QString &dataDir)
{
    return QDir(QDir(dataDir).filePath(QStringLiteral("Backup")));
}

QString RestoreFolder(const QString &dataDir)
{
    return QDir(dataDir).filePath(kRestoreFolder);
}

QStringList ListFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.kwl")}, QDir::Files, QDir::Name);
}

bool IsCopyName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(-\\d{3})?$"));
    return pattern.match(name).hasMatch();
}

bool ReadWhole(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// What the ledger's records were when a copy was made: its change mark, drawn anew by every write.
// A ledger of an earlier form has none (it cannot be written to until it is upgraded); its files'
// header and sizes stand in for it. Equal marks, the same records.
QByteArray LedgerMark(SqlConnection &db)
{
    try {
        if (const auto mark = LedgerChangeMark(db))
            return QByteArray("mark:") + QByteArray::number(*mark);
    } catch (const DbError &) {
    }
    const QString path = db.Path();
    const QByteArray header = DatabaseHeader(path);
    return QByteArray("file:") + header.mid(24, 8).toHex() + ':' + header.mid(40, 4).toHex() + ':' +
           QByteArray::number(QFileInfo(path).size()) + ':' + QByteArray::number(QFileInfo(path + QStringLiteral("-wal")).size());
}

qint64 FolderSize(const QString &folder)
{
    qint64 size = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        size += files.fileInfo().size();
    }
    return size;
}

qint64 LedgerSize(const QString &dataDir)
{
    qint64 size = QFileInfo(QDir(dataDir).filePath(kDatabase)).size();
    for (const QString &list : ListFiles(dataDir))
        size += QFileInfo(QDir(dataDir).filePath(list)).size();
    return size;
}

qint64 SizeLimit(const QString &dataDir)
{
    return std::max(kKeptSizeFloor, kKeptSizeTimesLedger * LedgerSize(dataDir));
}

// Copies the list files of one folder into another, each whole (the step named after each, when given).
bool CopyListFiles(const QString &from, const QString &to, QString *error, const QString &stepName = QString())
{
    for (const QString &list : ListFiles(from)) {
        QByteArray bytes;
        if (!ReadWhole(QDir(from).filePath(list), &bytes)) {
            *error = QStringLiteral("无法读取列表文件 %1").arg(QDir::toNativeSeparators(QDir(from).filePath(list)));
            return false;
        }
        if (!WriteWholeFile(QDir(to).filePath(list), bytes, error))
            return false;
        if (!stepName.isEmpty())
            Step(stepName);
    }
    return true;
}

// A name for a new copy: the time now, always after the newest copy, so the names keep the copies'
// order. Empty with the reason when there is none.
QString NewCopyName(const QString &dataDir, QString *error)
{
    const QDir root = BackupRoot(dataDir);
    const QString now = LedgerNow().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    const QString newest = ListBackups(dataDir).value(0);
    // A clock behind the newest copy (set back, or the copy named by one that ran ahead): the name
    // follows the newest copy's time instead, which a numbered name always sorts after.
    const QString time = !newest.isEmpty() && now <= newest ? newest.left(now.size()) : now;
    QString name = time;
    constexpr int kMostNumbered = 999;  // three digits keep the numbered names in order
    for (int n = 2; root.exists(name) || (!newest.isEmpty() && name <= newest); ++n) {
        if (n > kMostNumbered) {
            *error = QStringLiteral("无法为备份命名：备份文件夹 %1 中已有太多同一时刻的备份")
                         .arg(QDir::toNativeSeparators(root.path()));
            return QString();
        }
        name = time + QStringLiteral("-%1").arg(n, 3, 10, QLatin1Char('0'));
    }
    return name;
}

// Removes the oldest copies beyond the ten kept or the room they may take; the newest stays, and so
// does the pinned one.
void PruneCopies(const QString &dataDir, const QString &pinned)
{
    const QDir root = BackupRoot(dataDir);
    const QStringList copies = ListBackups(dataDir);
    const qint64 limit = SizeLimit(dataDir);
    qint64 taken = 0;
    for (int i = 0; i < copies.size(); ++i) {
        const qint64 size = BackupSize(dataDir, copies.at(i));
        const bool fits = i < kKeptBackups && (i == 0 || IsCopyBeforeRestore(dataDir, copies.at(i)) || taken + size <= limit);
        if (fits || copies.at(i) == pinned)
            taken += size;
        else
            QDir(root.filePath(copies.at(i))).removeRecursively();
    }
}

// Makes a new copy, checked whole, under its name. Empty with the reason when it could not.
QString MakeCopy(SqlConnection &db, const QString &dataDir, QString *error)
{
    QDir root = BackupRoot(dataDir);
    const QString name = NewCopyName(dataDir, error);
    if (name.isEmpty())
        return QString();
    const QString aside = root.filePath(kMakingPrefix + name);
    QDir(aside).removeRecursively();
    if (!QDir().mkpath(aside)) {
        *error = QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(aside));
        return QString();
    }
    const auto fail = [&](const QString &reason) {
        QDir(aside).removeRecursively();
        *error = reason;
        return QString();
    };
    // The mark is read before the copy: a change between them only makes the next copy come sooner.
    const QByteArray mark = LedgerMark(db);
    Step(QStringLiteral("copy-started"));
    try {
        db.CopyTo(QDir(aside).filePath(kDatabase), [] { Step(QStringLiteral("copy-database")); });
    } catch (const DbError &failure) {
        return fail(failure.Message());
    }
    QString reason;
    if (!CopyListFiles(dataDir, aside, &reason))
        return fail(QStringLiteral("无法备份列表文件：") + reason);
    Step(QStringLiteral("copy-lists"));
    if (!WriteWholeFile(QDir(aside).filePath(kSource), mark, &reason))
        return fail(reason);
    const QString faults = SqliteConnection::CheckWholeLedger(QDir(aside).filePath(kDatabase));
    if (!faults.isEmpty())
        return fail(QStringLiteral("备份的帐目数据库检查未通过：") + faults);
    Step(QStringLiteral("copy-checked"));
    if (!root.rename(kMakingPrefix + name, name))
        return fail(QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(root.filePath(name))));
    SyncFolder(root.path());
    Step(QStringLiteral("copy-placed"));
    return name;
}

std::optional<qint64> ChangeMarkOfFile(const QString &path)
{
    return SqliteConnection::QueryNumber(path, QStringLiteral("SELECT \"Mark\" FROM \"LedgerMark\""));
}

// Puts a prepared restore in place: the database (through the ledger's own connection when it is
// open, so its record sets read again), then the lists, then the mark goes and the folder with it.
// When it fails, *ledgerUntouched tells whether the ledger is known to be as it was before the
// restore, whole with its lists: only then may the restore be dropped.
bool PutRestoreInPlace(SqlConnection *db, const QString &dataDir, QString *error, bool *ledgerUntouched)
{
    *ledgerUntouched = false;
    const QString folder = RestoreFolder(dataDir);
    const QString staged = QDir(folder).filePath(kDatabase);
    const QString ledger = QDir(dataDir).filePath(kDatabase);
    const std::optional<qint64> stagedMark = ChangeMarkOfFile(staged);
    // A start before this one may have put the database in place already: its change mark is the
    // prepared one's (or the ledger held the same records, and there is nothing to copy either).
    const bool placedBefore = !db && stagedMark && ChangeMarkOfFile(ledger) == stagedMark;
    const auto eachStep = [] { Step(QStringLiteral("restore-database")); };
    try {
        if (db)
            db->CopyFrom(staged, eachStep);
        else if (!placedBefore)
            SqliteConnection::CopyFile(staged, ledger, eachStep);
    } catch (const DbError &failure) {
        *error = failure.Message();
        if (db) {
            // One transaction, rolled back when it fails: the ledger is as it was.
            *ledgerUntouched = true;
        } else {
            // Known untouched only when its change mark is still the one it had when the restore was
            // marked (a database put back by an earlier start, or one that cannot be read, is not).
            QByteArray marked;
            ReadWhole(QDir(folder).filePath(kRestoreMark), &marked);
            const QByteArray before = marked.split('\n').value(1);
            const std::optional<qint64> now = ChangeMarkOfFile(ledger);
            *ledgerUntouched = now && !before.isEmpty() && QByteArray::number(*now) == before && now != stagedMark;
        }
        return false;
    }
    Step(QStringLiteral("restore-database-placed"));
    if (!CopyListFiles(folder, dataDir, error, QStringLiteral("restore-list")))
        return false;
    if (!QFile::remove(QDir(folder).filePath(kRestoreMark))) {
        *error = QStringLiteral("无法删除 %1").arg(QDir::toNativeSeparators(QDir(folder).filePath(kRestoreMark)));
        return false;
    }
    SyncFolder(folder);
    QDir(folder).removeRecursively();
    return true;
}

// Takes a restore back before its database was put in place: the mark goes first, then the folder.
bool DropRestore(const QString &dataDir)
{
    const QString folder = RestoreFolder(dataDir);
    if (!QFile::remove(QDir(folder).filePath(kRestoreMark)))
        return false;
    SyncFolder(folder);
    QDir(folder).removeRecursively();
    return true;
}

} // namespace

void SetBackupStepHook(std::function<void(const QString &step)> hook)
{
    g_stepHook = std::move(hook);
}

bool RestoreUnderWay(const QString &dataDir)
{
    return QFileInfo::exists(QDir(RestoreFolder(dataDir)).filePath(kRestoreMark));
}

bool LedgerChangedSinceNewestCopy(SqlConnection &db, const QString &dataDir)
{
    const QString newest = ListBackups(dataDir).value(0);
    if (newest.isEmpty())
        return true;
    const QString folder = BackupRoot(dataDir).filePath(newest);
    QByteArray source;
    const QByteArray mark = LedgerMark(db);
    if ( !ReadWhole(QDir(folder).filePath(kSource), &source) || source != mark)
        return true;
    const QStringList lists = ListFiles(dataDir);
    if (lists != ListFiles(folder))
        return true;
    for (const QString &list : lists) {
        QByteArray now, kept;
        if (!ReadWhole(QDir(dataDir).filePath(list), &now) || !ReadWhole(QDir(folder).filePath(list), &kept) || now != kept)
            return true;
    }
    return false;
}

QString MakeBackup(SqlConnection &db, const QString &dataDir, QString *error, const QString &pinned)
{
    if (RestoreUnderWay(dataDir)) {
        *error = QStringLiteral("恢复备份尚未完成，帐目现在不能备份");  // half of each: nothing to keep
        return QString();
    }
    if (!LedgerChangedSinceNewestCopy(db, dataDir))
        return ListBackups(dataDir).value(0);
    const QString name = MakeCopy(db, dataDir, error);
    if (!name.isEmpty())
        PruneCopies(dataDir, pinned);
    return name;
}

QStringList ListBackups(const QString &dataDir)
{
    const QDir root = BackupRoot(dataDir);
    QStringList names = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString &name) {
                                   return name.startsWith(QLatin1Char('.')) ||
                                          !LooksWhole(root.filePath(name + QLatin1Char('/') + kDatabase));
                               }),
                names.end());
    std::reverse(names.begin(), names.end());
    return names;
}

QStringList KeptCopiesOfFile(const QString &dataDir, const QString &fileName)
{
    QStringList files;
    for (const QString &copy : ListBackups(dataDir)) {
        const QString file = BackupRoot(dataDir).filePath(copy + QLatin1Char('/') + fileName);
        if (QFileInfo::exists(file))
            files.append(file);
    }
    return files;
}

bool IsCopyBeforeRestore(const QString &dataDir, const QString &name)
{
    return QFileInfo::exists(BackupRoot(dataDir).filePath(name + QLatin1Char('/') + kBeforeRestore));
}

qint64 BackupSize(const QString &dataDir, const QString &name)
{
    return FolderSize(BackupRoot(dataDir).filePath(name));
}

BackupSpace MeasureBackups(const QString &dataDir)
{
    BackupSpace space;
    for (const QString &name : ListBackups(dataDir)) {
        ++space.copies;
        space.bytes += BackupSize(dataDir, name);
    }
    space.limit = SizeLimit(dataDir);
    return space;
}

RestoreResult RestoreBackup(SqlConnection &db, const QString &dataDir, const QString &name, QString *error)
{
    const QString copy = BackupRoot(dataDir).filePath(name);
    if (name.isEmpty() || !ListBackups(dataDir).contains(name)) {
        *error = QStringLiteral("找不到备份 %1").arg(name);
        return RestoreResult::Untouched;
    }
    if (db.IsReadOnly()) {
        *error = QStringLiteral("帐目数据库 %1 是只读的，无法恢复备份。").arg(QDir::toNativeSeparators(db.Path()));
        return RestoreResult::Untouched;
    }
    const QString folder = RestoreFolder(dataDir);
    const QString staged = QDir(folder).filePath(kDatabase);
    const auto untouched = [&](const QString &reason) {
        QDir(folder).removeRecursively();
        *error = reason;
        return RestoreResult::Untouched;
    };
    // The copy is read whole aside and checked there: the ledger is not touched until it is ready.
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return untouched(QStringLiteral("无法建立文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    Step(QStringLiteral("restore-started"));
    try {
        SqliteConnection::CopyFile(QDir(copy).filePath(kDatabase), staged, {}, true);
    } catch (const DbError &failure) {
        return untouched(QStringLiteral("无法恢复备份 %1，帐目没有改变：%2").arg(name, failure.Message()));
    }
    const QString faults = SqliteConnection::CheckWholeLedger(staged);
    if (!faults.isEmpty())
        return untouched(QStringLiteral("备份 %1 已损坏，无法恢复，帐目没有改变：\n%2").arg(name, faults));
    // A copy made by an earlier form of the file is brought to the present form here, before it is
    // put in place, and keeps no copy of itself on the way.
    try {
        EnsureKeptFigures(*SqliteConnection::OpenAside(staged));
    } catch (const DbError &failure) {
        return untouched(QStringLiteral("无法把备份 %1 整理为新版本的帐目，帐目没有改变：%2").arg(name, failure.Message()));
    }
    QString reason;
    if (!CopyListFiles(copy, folder, &reason))
        return untouched(QStringLiteral("无法恢复备份 %1 的列表文件，帐目没有改变：%2").arg(name, reason));
    Step(QStringLiteral("restore-staged"));
    // The ledger as it is now is kept first, so a restore can itself be undone.
    const QString wayBack = MakeBackup(db, dataDir, &reason, name);
    if (wayBack.isEmpty())
        return untouched(QStringLiteral("无法先备份现在的帐目，帐目没有改变：") + reason);
    if (!WriteWholeFile(BackupRoot(dataDir).filePath(wayBack + QLatin1Char('/') + kBeforeRestore), name.toUtf8(), &reason))
        return untouched(QStringLiteral("无法先备份现在的帐目，帐目没有改变：") + reason);
    // The mark names the copy and the ledger's change mark as it is now, so that a start that cannot
    // finish the restore knows whether the ledger was touched.
    QByteArray mark = name.toUtf8() + '\n';
    try {
        if (const auto now = LedgerChangeMark(db))
            mark += QByteArray::number(*now);
    } catch (const DbError &) {
    }
    if (!WriteWholeFile(QDir(folder).filePath(kRestoreMark), mark, &reason))
        return untouched(reason);
    SyncFolder(dataDir);
    Step(QStringLiteral("restore-marked"));
    bool ledgerUntouched = false;
    if (!PutRestoreInPlace(&db, dataDir, &reason, &ledgerUntouched)) {
        // Putting the database back is one transaction: failed, it changed nothing, and the restore is
        // dropped. Only once it is in place does a failure leave half of each, for the next start.
        if (ledgerUntouched && DropRestore(dataDir))
            return untouched(QStringLiteral("无法恢复备份 %1，帐目没有改变：%2").arg(name, reason));
        *error = QStringLiteral("备份 %1 没能完全恢复：%2\n请腾出磁盘空间后重新启动 Zarvel，启动时会完成恢复。").arg(name, reason);
        return RestoreResult::Pending;
    }
    return RestoreResult::Restored;
}

bool SettleBackups(const QString &dataDir, QString *error)
{
    // Copies never finished, and folders holding no whole copy under a copy's name.
    const QDir root = BackupRoot(dataDir);
    for (const QString &name : root.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString database = root.filePath(name + QLatin1Char('/') + kDatabase);
        if (name.startsWith(kMakingPrefix) || (IsCopyName(name) && !LooksWhole(database) && !HasLogWithPages(database)))
            QDir(root.filePath(name)).removeRecursively();
    }
    const QString folder = RestoreFolder(dataDir);
    if (!QFileInfo::exists(folder))
        return true;
    if (!QFileInfo::exists(QDir(folder).filePath(kRestoreMark))) {
        QDir(folder).removeRecursively();  // stopped before the ledger was touched
        return true;
    }
    QString reason;
    bool ledgerUntouched = false;
    if (PutRestoreInPlace(nullptr, dataDir, &reason, &ledgerUntouched))
        return true;
    // A ledger known untouched (its change mark still the one the restore recorded) is whole with its
    // lists: the restore is dropped and the household goes on with it, told.
    if (ledgerUntouched && DropRestore(dataDir)) {
        *error = QStringLiteral("上次恢复备份没有完成，现在也无法完成：%1\n帐目保持恢复前的样子，可以稍后再恢复。").arg(reason);
        return true;
    }
    *error = QStringLiteral("上次恢复备份没有完成，现在也无法完成：%1\n请腾出磁盘空间后重新启动 Zarvel。").arg(reason);
    return false;
}
