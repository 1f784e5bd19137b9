// Reading and writing '#'-separated list files.
#include "ListFile.h"

#include "common/Paths.h"
#include "common/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList ListFileNames()
{
    return {QStringLiteral("Sys.kwl"),     QStringLiteral("Item.kwl"),    QStringLiteral("Member.kwl"),
            QStringLiteral("Article.kwl"), QStringLiteral("Mkind.kwl"),   QStringLiteral("Bank.kwl"),
            QStringLiteral("Rate.kwl"),    QStringLiteral("Curnote.kwl"), QStringLiteral("Inskind.kwl"),
            QStringLiteral("Insorgan.kwl")};
}

namespace {

IListStore *&Store()
{
    static IListStore *store = nullptr;
    return store;
}

// The list file's name when the store keeps it (one of the ten, in the data folder); empty otherwise.
QString StoredName(const QString &path)
{
    if (!Store())
        return QString();
    const QFileInfo file(path);
    if (file.absolutePath() != QFileInfo(DataDirectory()).absoluteFilePath() || !ListFileNames().contains(file.fileName()))
        return QString();
    return file.fileName();
}

} // namespace

void SetListStore(IListStore *store)
{
    Store() = store;
}

bool ListsKeptInStore()
{
    return Store() != nullptr;
}

QString ListStoreFailure()
{
    return Store() ? Store()->LastFailure() : QString();
}

bool ReadListFile(const QString &path, QList<QByteArray> *entries)
{
    QByteArray text;
    if (const QString name = StoredName(path); !name.isEmpty()) {
        if (!Store()->Read(name, &text))
            return false;
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        text = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
    }
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
    if (const QString name = StoredName(path); !name.isEmpty())
        return Store()->Write(name, content);
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
