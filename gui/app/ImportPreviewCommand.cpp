// The import preview from the command line.
#include "ImportPreviewCommand.h"

#include "app/CLedgerApp.h"
#include "db/DbError.h"
#include "db/Installer.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "lists/ReferenceLists.h"
#include "transfer/ImportMappings.h"
#include "transfer/ImportPreview.h"
#include "transfer/MoneyImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <cstring>

bool AsksImportPreview(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview-import") == 0)
            return true;
    }
    return false;
}

int RunImportPreview(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList arguments = app.arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--preview-import"));
    if (at < 0 || at + 1 >= arguments.size()) {
        err << "用法：zarvel --preview-import 文件 [--layout 格式] [--home]\n";
        return 2;
    }
    const qsizetype layoutAt = arguments.indexOf(QStringLiteral("--layout"));
    if (layoutAt >= 0 && layoutAt + 1 >= arguments.size()) {
        err << "用法：zarvel --preview-import 文件 [--layout 格式] [--home]\n";
        return 2;
    }
    const QString path = arguments.at(at + 1);
    if (arguments.contains(QStringLiteral("--home"))) {
        QString error;
        const QString home = LayUserInstallation(CLedgerApp::InstalledTemplateDir(),
                                                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), &error);
        if (home.isEmpty() || !QDir::setCurrent(home)) {
            err << QStringLiteral("无法建立帐目文件夹：%1\n").arg(error.isEmpty() ? home : error);
            return 1;
        }
    }
    KeepInstallationPrivate(QDir::currentPath());  // laid or opened here as the window would: the owner's alone
    LoadAllListFiles();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << QStringLiteral("无法读取文件 %1：%2\n").arg(QDir::toNativeSeparators(path), file.errorString());
        return 1;
    }
    CMoneyImport plan(g_itemList, MemberNames());
    RecallImportMappings(plan);
    if (!plan.Load(file.readAll(), {}, QString(), path)) {
        err << plan.LoadFailure(QDir::toNativeSeparators(path)) << '\n';
        return 1;
    }
    QString problem;
    if (layoutAt >= 0 && !UseLayoutNamed(plan, arguments.at(layoutAt + 1), &problem)) {
        err << QStringLiteral("文件 %1：%2\n").arg(QDir::toNativeSeparators(path), problem);
        return 1;
    }
    if (plan.Layout().headerRow < 0)
        plan.SetLayout(GuessColumnsAt(plan.Records(), 0));  // as the dialog offers it
    // The rows the ledger holds already, as the dialog finds them; a ledger that cannot be opened is
    // told, and the rows printed unmatched.
    try {
        plan.MatchExisting(*OpenLedgerDatabase());
    } catch (const DbError &error) {
        err << QStringLiteral("没有与帐目比对（%1）\n").arg(error.Message());
    }
    for (const QString &line : ImportPreviewLines(plan))
        out << line << '\n';
    return 0;
}
