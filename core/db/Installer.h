// Lays out a ledger installation: the data directory with its database and list files, and the pictures.
#pragma once

#include <QString>

// Creates, below target, Data/Kinward.db from <template>/schema.sql and copies <template>/Data/* and
// <template>/Picture/*. Files already present are never touched, so an existing installation keeps
// everything it has. False with a reason when something could not be made.
bool LayInstallation(const QString &templateDir, const QString &targetDir, QString *error);

// The household's own installation below the user's data folder (<dataHome>/zarvel), laid from the
// template the first time and kept as it is afterwards. Its path, or an empty text with the reason.
QString LayUserInstallation(const QString &templateDir, const QString &dataHome, QString *error);
