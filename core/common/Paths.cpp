// Paths of the data and picture files.
#include "Paths.h"

#include <QDir>

QString DataDirectory()
{
    return QDir::currentPath() + QStringLiteral("/Data");
}

QString DataFilePath(const QString &name)
{
    return DataDirectory() + QLatin1Char('/') + name;
}

QString PictureFilePath(const QString &name)
{
    return QDir::currentPath() + QStringLiteral("/Picture/") + name;
}

QString DatabasePath()
{
    return DataFilePath(QStringLiteral("Kinward.db"));
}
