// zarvel-startup <installation folder>: the program's start-up up to the home page shown and
// painted, then exit; timed as whole-process runs by bench/startup.sh. The splash picture's fixed
// second is left out, since it is a wait by design. Prints its peak resident memory ("peak-rss-kb N")
// on standard error as it ends.
#include "app/CMainDlg.h"
#include "app/CLedgerApp.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1)
        QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    CLedgerApp::Prepare(&app);
    CMainDlg::Options options;
    options.showSplash = false;
    CMainDlg window(options);
    window.show();
    window.repaint();  // the home page painted once, as the user first sees it
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });  // quit() would ask the close question
    const int code = app.exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "peak-rss-kb %ld\n", usage.ru_maxrss);
    return code;
}
