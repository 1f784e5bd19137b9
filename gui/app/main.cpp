// zarvel: the household ledger. Runs on the installation in the current directory; started with
// --home (as the desktop menu starts it), on the user's own installation, laid the first time.
#include "app/CLedgerApp.h"

int main(int argc, char **argv)
{
    CLedgerApp app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--home")) && !app.EnterUserInstallation())
        return 1;
    return app.InitInstance();
}
