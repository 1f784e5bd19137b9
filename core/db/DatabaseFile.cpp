// What the bytes of an SQLite database file tell without opening it.
#include "DatabaseFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

QByteArray DatabaseHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(100);
}

bool HasLogWithPages(const QString &path)
{
    const QFileInfo log(path + QStringLiteral("-wal"));
    return log.exists() && log.size() > 0;
}

bool LooksWhole(const QString &path)
{
    const QByteArray header = DatabaseHeader(path);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3", 16)))
        return false;
    // A journal of an interrupted write, or a write-ahead log with pages the file lacks: not whole.
    for (const char *beside : {"-journal", "-wal"}) {
        const QFileInfo file(path + QLatin1String(beside));
        if (file.exists() && file.size() > 0)
            return false;
    }
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    const quint32 pageField = qFromBigEndian<quint16>(bytes + 16);
    const qint64 pageSize = pageField == 1 ? 65536 : pageField;
    const qint64 size = QFileInfo(path).size();
    if (pageSize < 512 || size % pageSize != 0)
        return false;
    // The page count in the header holds when it was written with the change counter it names: a
    // file shorter than that was cut short.
    const quint32 changes = qFromBigEndian<quint32>(bytes + 24);
    const quint32 pages = qFromBigEndian<quint32>(bytes + 28);
    if (qFromBigEndian<quint32>(bytes + 92) == changes && pages != 0)
        return size >= qint64(pages) * pageSize;
    return size > 0;
}
