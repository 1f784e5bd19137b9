// The byte format shared by the ten list files: entries of GBK bytes, each closed by '#'.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The ten list files of the data folder, in the order they are loaded.
QStringList ListFileNames();

// Where the ten list files are kept when not in the data folder: a ledger several computers share
// keeps them beside its records, so every computer has the same items, members and rates.
class IListStore
{
public:
    virtual ~IListStore() = default;
    // A file's whole content; false when it is not there or cannot be read.
    virtual bool Read(const QString &name, QByteArray *content) = 0;
    // Replaces a file's content whole; false when it cannot be written (the old content stays).
    virtual bool Write(const QString &name, const QByteArray &content) = 0;
    // Why the last write failed, in the household's words (empty: no reason to add).
    virtual QString LastFailure() const { return QString(); }
};

// From now on the ten list files of the data folder are read from and written to the store (null:
// the files again). Other files, kept copies among them, stay files. The store must outlive its use.
void SetListStore(IListStore *store);
bool ListsKeptInStore();
// Why the last write of a list to the store failed; empty for files.
QString ListStoreFailure();

// Reads the entries of a list file. False when the file cannot be opened.
// Text after the last '#' (a file the program never writes) is kept as a final entry.
bool ReadListFile(const QString &path, QList<QByteArray> *entries);

// Writes the entries, each followed by '#'. The file is written beside the old one and then
// replaces it, so a failed write never leaves a cut-off list. False when it cannot be written.
bool WriteListFile(const QString &path, const QList<QByteArray> &entries);

// Removes the temporaries an interrupted write left beside the named files: "<name>.XXXXXX", six
// letters, as QSaveFile names them. A suffix of six lowercase letters may be a name someone chose
// (".backup") and is left alone.
void RemoveStaleTemporaries(const QString &directory, const QStringList &fileNames);
