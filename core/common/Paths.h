// Where the ledger's files lie: below the process's current directory, read afresh at every use.
#pragma once

#include <QString>

QString DataDirectory();                       // <current directory>/Data
QString DataFilePath(const QString &name);     // <current directory>/Data/<name>
QString PictureFilePath(const QString &name);  // <current directory>/Picture/<name>
QString DatabasePath();                        // <current directory>/Data/Kinward.db
