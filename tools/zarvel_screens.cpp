// zarvel-screens <installation folder> <output folder>: pictures of the home page and every panel,
// taken through the real widgets, for looking at the interface without clicking through it.
#include "app/CMainDlg.h"
#include "app/Style.h"
#include "controls/CCalcPad.h"
#include "common/Paths.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/SqlConnection.h"
#include "dialogs/CMoneyDlg.h"
#include "lists/CRestoreDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zarvel-screens <installation folder> <output folder>\n");
        return 2;
    }
    const QString output = QDir(args.at(2)).absolutePath();
    QDir().mkpath(output);
    QDir::setCurrent(args.at(1));
    ApplyLedgerStyle(&app);
    CMainDlg::Options options;
    options.showSplash = false;
    CMainDlg window(options);
    window.show();
    QTest::qWait(300);
    // Each panel as its button shows it; a row is chosen where the list has one, so the buttons that
    // need a row show enabled.
    const QList<std::tuple<const char *, int, int>> shots = {
        {"home", 1018, 0},     {"money", 1000, 1004}, {"deposit", 1009, 1008}, {"current", 1066, 1098},
        {"article", 1007, 1006}, {"insure", 1019, 1117}, {"memo", 1012, 1114}, {"address", 1073, 1115},
        {"credit", 1074, 1116}};
    for (const auto &[name, button, list] : shots) {
        window.PressButton(button);
        if (list) {
            auto *view = static_cast<QAbstractItemView *>(window.Control(list));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
        }
        QTest::qWait(200);
        const QString file = output + QStringLiteral("/") + QString::fromLatin1(name) + QStringLiteral(".png");
        window.grab().save(file);
        std::printf("%s\n", qPrintable(file));
    }
    // The income and expense dialog driven as a user would: an item, an amount made with the pad, saved.
    window.PressButton(1000);
    CMoneyDlg dialog(window.m_moneyBook, EntryMode::Add, &window);
    dialog.show();
    dialog.move(window.geometry().topLeft() + QPoint(120, 80));
    QTest::qWait(200);
    auto *items = dialog.findChild<QComboBox *>(QStringLiteral("1007"));
    const int item = items->findText(QStringLiteral("支出    买菜"));
    items->setCurrentIndex(item);
    emit items->activated(item);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("1013")), Qt::LeftButton);
    QTest::qWait(200);
    for (const char *key : {"1024", "1028", "1022", "1031", "1021", "1028"}) {  // 25 + 7.5
        if (g_pCalcPad)
            QTest::mouseClick(g_pCalcPad->findChild<QPushButton *>(QString::fromLatin1(key)), Qt::LeftButton);
    }
    QTest::qWait(200);
    const auto screenShot = [&](const char *name) {
        const QString file = output + QStringLiteral("/") + QString::fromLatin1(name) + QStringLiteral(".png");
        QGuiApplication::primaryScreen()->grabWindow(0).save(file);
        std::printf("%s\n", qPrintable(file));
    };
    screenShot("money-dialog-pad");
    if (g_pCalcPad)
        QTest::mouseClick(g_pCalcPad->findChild<QPushButton *>(QStringLiteral("1036")), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("1011")), Qt::LeftButton);
    QTest::qWait(300);
    screenShot("money-saved");
    // 恢复备份 with a copy of the ledger kept, and the room the copies take.
    QString error;
    MakeBackup(*OpenLedgerDatabase(), DataDirectory(), &error);
    CRestoreDlg restore(&window);
    restore.show();
    restore.move(window.geometry().topLeft() + QPoint(120, 80));
    QTest::qWait(300);
    restore.grab().save(output + QStringLiteral("/restore.png"));
    std::printf("%s\n", qPrintable(output + QStringLiteral("/restore.png")));
    return 0;
}
