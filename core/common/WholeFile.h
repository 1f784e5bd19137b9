// The one way this program writes a file outside the database: whole, or not at all.
#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes as the file's whole content. They go to a file beside it first; every write, the
// flush and the sync to the disk are checked, and only then does that file take the old one's place
// (and the folder's entry is synced, so the new name survives a power cut). On any failure the old
// file stays as it was, nothing is left beside it, and *error (when given) says what went wrong, in
// words a household can act on.
bool WriteWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// How a file that could not be written is told: "无法写入文件 <path>：<detail>".
QString WriteFailureText(const QString &path, const QString &detail);

// Syncs a folder's entries to the disk, so names just made or changed in it survive a power cut.
// False when the folder cannot be synced (it is best effort where the platform cannot).
bool SyncFolder(const QString &folder);
