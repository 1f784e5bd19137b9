// Installation from the template in res/install.
#include "Installer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool CopyMissing(const QString &from, const QString &to, QString *error)
{
    QDir source(from);
    if (!source.exists())
        return true;
    if (!QDir().mkpath(to)) {
        *error = QStringLiteral("无法创建目录 %1").arg(to);
        return false;
    }
    for (const QFileInfo &file : source.entryInfoList(QDir::Files)) {
        const QString target = to + QLatin1Char('/') + file.fileName();
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(file.filePath(), target)) {
            *error = QStringLiteral("无法复制 %1").arg(target);
            return false;
        }
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return true;
}

} // namespace

bool CreateLedgerDatabase(const QString &schemaPath, const QString &dbPath, QString *error)
{
    QFile schemaFile(schemaPath);
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("找不到数据库结构文件 %1").arg(schemaPath);
        return false;
    }
    const QByteArray schema = schemaFile.readAll();
    // Built beside its final name and renamed at the end, so a failed set-up leaves no half-made database.
    const QString partPath = dbPath + QStringLiteral(".part");
    QFile::remove(partPath);
    sqlite3 *db = nullptr;
    const QByteArray name = partPath.toUtf8();
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char *message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, schema.constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        *error = QStringLiteral("无法创建数据库：%1").arg(QString::fromUtf8(message ? message : sqlite3_errmsg(db)));
        sqlite3_free(message);
        sqlite3_close(db);
        QFile::remove(partPath);
        return false;
    }
    sqlite3_close(db);
    QFile::remove(partPath + QStringLiteral("-wal"));
    QFile::remove(partPath + QStringLiteral("-shm"));
    if (!QFile::rename(partPath, dbPath)) {
        *error = QStringLiteral("无法创建数据库文件 %1").arg(dbPath);
        QFile::remove(partPath);
        return false;
    }
    return true;
}

bool LayInstallation(const QString &templateDir, const QString &targetDir, QString *error)
{
    const QString dataDir = targetDir + QStringLiteral("/Data");
    if (!QDir().mkpath(dataDir)) {
        *error = QStringLiteral("无法创建目录 %1").arg(dataDir);
        return false;
    }
    const QString dbPath = dataDir + QStringLiteral("/Kinward.db");
    if (!QFileInfo::exists(dbPath) && !CreateLedgerDatabase(templateDir + QStringLiteral("/schema.sql"), dbPath, error))
        return false;
    return CopyMissing(templateDir + QStringLiteral("/Data"), dataDir, error)
           && CopyMissing(templateDir + QStringLiteral("/Picture"), targetDir + QStringLiteral("/Picture"), error);
}

QString LayUserInstallation(const QString &templateDir, const QString &dataHome, QString *error)
{
    const QString target = QDir(dataHome).filePath(QStringLiteral("zarvel"));
    if (!LayInstallation(templateDir, target, error))
        return QString();
    return target;
}

bool KeepInstallationPrivate(const QString &installDir)
{
#ifdef Q_OS_UNIX
    // Only a ledger's installation: a folder named Data elsewhere is none of the program's business.
    const QString data = QDir(installDir).filePath(QStringLiteral("Data"));
    if (!QFileInfo::exists(QDir(data).filePath(QStringLiteral("Kinward.db"))))
        return false;
    // A Data folder that is a link leads out of the installation (a folder shared with the family,
    // say): nothing there is the installation's to change.
    struct stat dataFolder {};
    if (::lstat(QFile::encodeName(data).constData(), &dataFolder) != 0 || !S_ISDIR(dataFolder.st_mode))
        return false;
    struct stat folder {};
    if (::stat(QFile::encodeName(installDir).constData(), &folder) != 0 || folder.st_uid != ::geteuid())
        return false;
    ::umask(S_IRWXG | S_IRWXO);
    // Folders become the owner's alone (0700). Files lose what others had and keep the owner's own
    // reading and writing as they were: a file the household made read-only (0444) stays so (0400).
    const auto keep = [](const QString &path) {
        struct stat entry {};
        // A link is not followed: what it points at is not the installation's to change.
        if (::lstat(QFile::encodeName(path).constData(), &entry) != 0 || S_ISLNK(entry.st_mode))
            return;
        const mode_t mode = S_ISDIR(entry.st_mode) ? mode_t(S_IRWXU) : mode_t(entry.st_mode & (S_IRUSR | S_IWUSR));
        if ((entry.st_mode & 07777) != mode)
            ::chmod(QFile::encodeName(path).constData(), mode);
    };
    keep(data);
    QDirIterator below(data, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (below.hasNext()) {
        const QString path = below.next();
        const QFileInfo info = below.fileInfo();
        if (!info.isSymLink())
            keep(path);
    }
    return true;
#else
    Q_UNUSED(installDir);
    return false;
#endif
}
