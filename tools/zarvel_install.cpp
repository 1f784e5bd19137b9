// zarvel-install <template folder> <installation folder>: lays an installation, never overwriting one.
#include "db/Installer.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zarvel-install <template folder> <installation folder>\n");
        return 2;
    }
    QString error;
    if (!LayInstallation(args.at(1), args.at(2), &error)) {
        std::fprintf(stderr, "zarvel-install: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
