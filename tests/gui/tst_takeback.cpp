// Taking back in the window: Ctrl+Z and 撤销… after a mistaken delete on a middle page, the question
// that says what goes back, and the recycle bin of the settings putting a record back.
#include "app/CMainDlg.h"
#include "db/ChangeJournal.h"
#include "db/Ledger.h"
#include "lists/CRecycleDlg.h"
#include "lists/CSettingsDlg.h"

#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

QString Text(CMainDlg &window, int id)
{
    return static_cast<QLabel *>(window.Control(id))->text();
}

void ClickRow(CMainDlg &window, int list, int row)
{
    auto *view = static_cast<QAbstractItemView *>(window.Control(list));
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

QStringList Rows(CBook &book)
{
    QStringList rows;
    for (int row = 0; row < book.GetItemCount(); ++row)
        rows << book.GetRowTexts(row).join(QLatin1Char('|'));
    return rows;
}

// Chooses an entry of the list's right-click menu, as a click on it would.
void ChooseFromMenu(QWidget *list, const QString &entry)
{
    QTimer::singleShot(0, [entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions()) {
            if (action->text() == entry) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
        QFAIL("no such entry");
    });
    auto *view = static_cast<QAbstractItemView *>(list);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &event);
}

} // namespace

class TestTakeBack : public QObject
{
    Q_OBJECT
private slots:
    void aMistakenDoubleDeleteOnAMiddlePageIsTakenBackStepByStep()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));  // Ctrl+Z reaches the window it is pressed in
        std::vector<MoneyEntry> entries;
        for (int i = 0; i < 250; ++i)
            entries.push_back({LedgerDateTime(QDate(2026, 1, 1).addDays(i)), QStringLiteral("餐饮"), -10.0 - i, QStringLiteral("妈妈"), QString()});
        QVERIFY(window.m_moneyBook.AddMany(entries));
        window.PressButton(1000);
        window.m_moneyBook.ShowPage(2, QStringLiteral("Date"));
        const QStringList page = Rows(window.m_moneyBook);
        const QString status = Text(window, 1041);
        const QString home = Text(window, 1220);

        // 删除 asks nothing and selects the next row: a second click deletes a second record.
        ClickRow(window, 1004, 3);
        QCOMPARE(window.m_moneyBook.GetSelected(), 3);
        window.PressButton(1002);
        window.PressButton(1002);
        QVERIFY(Rows(window.m_moneyBook) != page);  // the page takes rows up from the next one
        QVERIFY(Text(window, 1041) != status);
        messages.Clear();

        messages.answer = false;  // asked, and answered no: nothing goes back
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(messages.messages.at(0).question);
        QCOMPARE(messages.messages.at(0).caption, QStringLiteral("撤销"));
        QVERIFY2(messages.Last().contains(QStringLiteral("删除 1 条收支记录：2026-04-15 餐饮 -114 妈妈")), qPrintable(messages.Last()));
        const QStringList deleted = Rows(window.m_moneyBook);
        QCOMPARE(window.m_moneyBook.GetItemCount(), 100);

        messages.answer = true;
        QCOMPARE(Rows(window.m_moneyBook), deleted);
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Rows(window.m_moneyBook) != deleted);
        ChooseFromMenu(window.Control(1004), QStringLiteral("撤销…"));
        QVERIFY(messages.Last().contains(QStringLiteral("删除 1 条收支记录：2026-04-14 餐饮 -113 妈妈")));
        // The page shown stays, as it was, with its status line and the home page's figure.
        QCOMPARE(window.m_moneyBook.GetCurrentPage(), 2);
        QCOMPARE(Rows(window.m_moneyBook), page);
        QCOMPARE(Text(window, 1041), status);
        QCOMPARE(Text(window, 1220), home);

        // Then the import itself; then nothing is left to take back.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(messages.Last().contains(QStringLiteral("新增 250 条收支记录")), qPrintable(messages.Texts().join('/')));
        QCOMPARE(window.m_moneyBook.GetItemCount(), 0);
        messages.Clear();
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("本次运行以来没有可以撤销的改动。")});
    }

    void theRecycleBinPutsAMemoBackIntoTheListShown()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMainDlg window(Quiet());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));  // Ctrl+Z reaches the window it is pressed in
        window.m_memoBook.Add(QStringLiteral("2026-12-01"), QStringLiteral("交物业费"), QStringLiteral("爸爸"));
        window.m_memoBook.Add(QStringLiteral("2026-12-05"), QStringLiteral("换机油"), QStringLiteral("妈妈"));
        window.PressButton(1012);
        const QStringList memos = Rows(window.m_memoBook);
        ClickRow(window, 1114, 0);
        window.PressButton(1014);
        QCOMPARE(window.m_memoBook.GetItemCount(), 1);

        std::unique_ptr<CSettingsDlg> settings = window.MakeSettings();
        std::unique_ptr<QDialog> editor(settings->MakeEditor(QStringLiteral("回收站")));
        auto *bin = qobject_cast<CRecycleDlg *>(editor.get());
        QVERIFY(bin);
        QCOMPARE(bin->Table()->rowCount(), 1);
        QCOMPARE(bin->Table()->item(0, 1)->text(), QStringLiteral("备忘"));
        QCOMPARE(bin->Table()->item(0, 2)->text(), QStringLiteral("2026-12-01 交物业费 爸爸"));
        QVERIFY(bin->Table()->item(0, 0)->isSelected());  // the latest chosen to begin with
        bin->Table()->clearSelection();
        QVERIFY(!bin->RestoreChosen());
        QCOMPARE(messages.Last(), QStringLiteral("请先选择要恢复的记录"));
        bin->Table()->selectRow(0);
        QVERIFY(bin->RestoreChosen());
        QCOMPARE(bin->Table()->rowCount(), 0);
        QCOMPARE(Rows(window.m_memoBook), memos);
        // Putting back is itself a change that can be taken back.
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(messages.Last().contains(QStringLiteral("新增 1 条备忘：2026-12-01 交物业费 爸爸")), qPrintable(messages.Texts().join('/')));
        QCOMPARE(window.m_memoBook.GetItemCount(), 1);
    }
};

QTEST_MAIN(TestTakeBack)
#include "tst_takeback.moc"
