// Lays out a ledger installation: the data directory with its database and list files, and the pictures.
#pragma once

#include <QString>

// Creates, below target, Data/Kinward.db from <template>/schema.sql and copies <template>/Data/* and
// <template>/Picture/*. Files already present are never touched, so an existing installation keeps
// everything it has. False with a reason when something could not be made.
bool LayInstallation(const QString &templateDir, const QString &targetDir, QString *error);
