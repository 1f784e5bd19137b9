// zarvel-make-ledger <folder> [money records] [records per other table]: a large ledger to measure and look at.
#include "LedgerGenerator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zarvel-make-ledger <folder> [money records] [records per other table]\n");
        return 2;
    }
    LedgerSize size;
    if (args.size() > 2)
        size.moneyRecords = args.at(2).toInt();
    if (args.size() > 3)
        size.otherRecords = args.at(3).toInt();
    QString error;
    if (!MakeLedger(args.at(1), size, &error)) {
        std::fprintf(stderr, "zarvel-make-ledger: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
