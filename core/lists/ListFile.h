// The byte format shared by the ten list files: entries of GBK bytes, each closed by '#'.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Reads the entries of a list file. False when the file cannot be opened.
// Text after the last '#' (a file the program never writes) is kept as a final entry.
bool ReadListFile(const QString &path, QList<QByteArray> *entries);

// Writes the entries, each followed by '#'. The file is written beside the old one and then
// replaces it, so a failed write never leaves a cut-off list. False when it cannot be written.
bool WriteListFile(const QString &path, const QList<QByteArray> &entries);
