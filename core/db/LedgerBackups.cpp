// Kept copies of the ledger.
#include "LedgerBackups.h"

#include "common/LedgerDate.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/SqlConnection.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace {

const QString kDatabase = QStringLiteral("Kinward.db");

QDir BackupRoot(const QString &dataDir)
{
    return QDir(QDir(dataDir).filePath(QStringLiteral("Backup")));
}

QStringList ListFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.kwl")}, QDir::Files, QDir::Name);
}

// Copies a file whole into place: written beside it, then put there.
bool CopyWhole(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    QSaveFile target(to);
    return target.open(QIODevice::WriteOnly) && target.write(bytes) == bytes.size() && target.commit();
}

} // namespace

QString MakeBackup(SqlConnection &db, const QString &dataDir, QString *error, const QString &spare)
{
    const QDir root = BackupRoot(dataDir);
    // Named by the time, and always after the newest copy, so the names keep the copies' order.
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
    const QString folder = root.filePath(name);
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder));
        return QString();
    }
    try {
        db.CopyTo(QDir(folder).filePath(kDatabase));
    } catch (const DbError &failure) {
        QDir(folder).removeRecursively();
        *error = failure.Message();
        return QString();
    }
    for (const QString &list : ListFiles(dataDir)) {
        if (!CopyWhole(QDir(dataDir).filePath(list), QDir(folder).filePath(list))) {
            QDir(folder).removeRecursively();
            *error = QStringLiteral("无法备份列表文件 %1").arg(list);
            return QString();
        }
    }
    // The newest ten stay (and the spare one, being restored).
    const QStringList kept = ListBackups(dataDir);
    for (int i = kKeptBackups; i < kept.size(); ++i) {
        if (kept.at(i) != spare)
            QDir(root.filePath(kept.at(i))).removeRecursively();
    }
    return name;
}

QStringList ListBackups(const QString &dataDir)
{
    QStringList names = BackupRoot(dataDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString &name) {
                                   return !QFile::exists(BackupRoot(dataDir).filePath(name + QLatin1Char('/') + kDatabase));
                               }),
                names.end());
    std::reverse(names.begin(), names.end());
    return names;
}

bool RestoreBackup(SqlConnection &db, const QString &dataDir, const QString &name, QString *error,
                   bool *databaseRestored)
{
    if (databaseRestored)
        *databaseRestored = false;
    const QString folder = BackupRoot(dataDir).filePath(name);
    if (name.isEmpty() || !QFile::exists(QDir(folder).filePath(kDatabase))) {
        *error = QStringLiteral("找不到备份 %1").arg(name);
        return false;
    }
    // The ledger as it is now is kept first, so a restore can itself be undone.
    if (MakeBackup(db, dataDir, error, name).isEmpty())
        return false;
    try {
        db.CopyFrom(QDir(folder).filePath(kDatabase));
    } catch (const DbError &failure) {
        *error = failure.Message();
        return false;
    }
    if (databaseRestored)
        *databaseRestored = true;
    // A copy made before the ledger's form was upgraded (or by an earlier version) is brought to the
    // present form, as opening it would: the books read figures it does not hold yet.
    try {
        EnsureKeptFigures(db);
    } catch (const DbError &failure) {
        *error = QStringLiteral("帐目数据库已恢复，但无法更新它的统计数字：%1").arg(failure.Message());
        return false;
    }
    for (const QString &list : ListFiles(folder)) {
        if (!CopyWhole(QDir(folder).filePath(list), QDir(dataDir).filePath(list))) {
            *error = QStringLiteral("帐目数据库已恢复，但列表文件 %1 无法恢复").arg(list);
            return false;
        }
    }
    return true;
}
