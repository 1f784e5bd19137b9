// zarvel: the household ledger. Runs on the installation in the current directory.
#include "app/CLedgerApp.h"

int main(int argc, char **argv)
{
    CLedgerApp app(argc, argv);
    return app.InitInstance();
}
