// Reading and writing '#'-separated list files.
#include "ListFile.h"

#include <QFile>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
