// Whole-file writes through a file beside the target.
#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

bool SyncHandle(int handle)
{
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

} // namespace

QString WriteFailureText(const QString &path, const QString &detail)
{
    return QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), detail);
}

bool SyncFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return true;  // NTFS keeps its folder entries in its own journal
#else
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return false;
    const bool synced = ::fsync(handle) == 0;
    ::close(handle);
    return synced;
#endif
}

bool WriteWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    // Unbuffered: a full disk fails the write itself. A buffered QSaveFile meets it only in the flush
    // at commit, which it does not check, and puts an empty or cut-off file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = WriteFailureText(path, file.errorString());
        return false;
    }
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            break;
        written += step;
    }
    if (written != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError || !SyncHandle(file.handle())) {
        if (error)
            *error = WriteFailureText(path, file.error() != QFileDevice::NoError ? file.errorString()
                                                                        : QStringLiteral("磁盘已满或无法写入"));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = WriteFailureText(path, file.errorString());
        return false;
    }
    SyncFolder(QFileInfo(path).absolutePath());
    return true;
}
