// The byte format shared by the ten list files: entries of GBK bytes, each closed by '#'.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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
