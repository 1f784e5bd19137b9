// Reading and writing '#'-separated list files.
#include "ListFile.h"

#include "common/WholeFile.h"

#include <QDir>
#include <QFile>

bool ReadListFile(const QString &path, QList<QByteArray> *entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    entries->clear();
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype mark = text.indexOf('#', start);
        if (mark < 0) {
            entries->append(text.mid(start));
            break;
        }
        entries->append(text.mid(start, mark - start));
        start = mark + 1;
    }
    return true;
}

bool WriteListFile(const QString &path, const QList<QByteArray> &entries)
{
    QByteArray content;
    for (const QByteArray &entry : entries) {
        content += entry;
        content += '#';
    }
    return WriteWholeFile(path, content);
}

namespace {

bool IsTemporarySuffix(QStringView suffix)
{
    if (suffix.size() != 6)
        return false;
    bool upper = false;
    for (QChar c : suffix) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            upper = true;
        else if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return false;
    }
    return upper;
}

} // namespace

void RemoveStaleTemporaries(const QString &directory, const QStringList &fileNames)
{
    const QDir dir(directory);
    for (const QString &name : fileNames) {
        const QString prefix = name + QLatin1Char('.');
        for (const QString &entry : dir.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden)) {
            if (entry.startsWith(prefix, Qt::CaseSensitive) && IsTemporarySuffix(QStringView(entry).mid(prefix.size())))
                QFile::remove(dir.filePath(entry));
        }
    }
}
