// zarvel: the household ledger. Runs on the installation in the current directory; started with
// --home (as the desktop menu starts it), on the user's own installation, laid the first time;
// with --preview-import FILE, prints what an import of the file would make of it.
#include "app/CLedgerApp.h"
#include "app/ImportPreviewCommand.h"
#include "db/Installer.h"

#include <QDir>

int main(int argc, char **argv)
{
    // Without a window: what an import of a file would make of it (zarvel --preview-import FILE).
    if (AsksImportPreview(argc, argv))
        return RunImportPreview(argc, argv);
    CLedgerApp app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--home")) && !app.EnterUserInstallation())
        return 1;
    KeepInstallationPrivate(QDir::currentPath());
    return app.InitInstance();
}
