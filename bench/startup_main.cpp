// zarvel-startup <installation folder>: the program's start-up up to the home page shown and
// painted, then exit; timed as whole-process runs by bench/startup.sh. The splash picture's fixed
// second is left out, since it is a wait by design.
#include "app/CMainDlg.h"
#include "app/Style.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1)
        QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    ApplyLedgerStyle(&app);
    CMainDlg::Options options;
    options.showSplash = false;
    CMainDlg window(options);
    window.show();
    window.repaint();  // the home page painted once, as the user first sees it
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });  // quit() would ask the close question
    return app.exec();
}
