// Lays out a ledger installation: the data directory with its database and list files, and the pictures.
#pragma once

#include <QString>

// A new, empty ledger database at dbPath from the schema, made beside it and put in place whole.
// False with a reason when it could not be made.
bool CreateLedgerDatabase(const QString &schemaPath, const QString &dbPath, QString *error);

// Creates, below target, Data/Kinward.db from <template>/schema.sql and copies <template>/Data/* and
// <template>/Picture/*. Files already present are never touched, so an existing installation keeps
// everything it has. False with a reason when something could not be made.
bool LayInstallation(const QString &templateDir, const QString &targetDir, QString *error);

// The household's own installation below the user's data folder (<dataHome>/zarvel), laid from the
// template the first time and kept as it is afterwards. Its path, or an empty text with the reason.
QString LayUserInstallation(const QString &templateDir, const QString &dataHome, QString *error);

// Keeps the household's records from other accounts of the computer: when the installation folder
// belongs to the user running the program, its Data folder and every folder below become the owner's
// alone (0700) and every file in them too (0600; a file the household made read-only stays so, 0400),
// kept copies included, and every file the program makes from then on is made so (the process's
// umask). A shared installation folder of another owner is left as it is, and nothing is said; so is a
// folder that holds no ledger (Data/Kinward.db), and a Data folder that is a link to somewhere else.
// True when the installation was made private.
bool KeepInstallationPrivate(const QString &installDir);
