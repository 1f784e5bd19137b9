// The statistics dialog driven as a user would: the kinds in their order, the pickers and year buttons
// each kind allows, ranges reset when a kind is chosen again, and the panel drawing what was chosen.
#include "charts/CStatPanel.h"
#include "budget/CBudgetBook.h"
#include "db/Ledger.h"
#include "dialogs/CStatDlg.h"

#include "OpenLedger.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QTest>

namespace {

QDateTime At(int year, int month, int day, int hour = 12)
{
    return LedgerDateTime(QDate(year, month, day), QTime(hour, 0));
}

// Pixels of the colour in the panel's picture.
int Pixels(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    }
    return count;
}

} // namespace

class TestStatDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_open = std::make_unique<OpenLedger>();
        m_window = &m_open->window;
    }
    void cleanup() { m_open.reset(); }

    void opensOnTheTotalAssets()
    {
        m_window->m_moneyBook.Add(At(2003, 5, 1), QStringLiteral("工资"), 3000, "Li", QString());
        CStatDlg dialog(m_window->m_moneyBook, m_window);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("统计图表"));
        auto *kinds = Find<QComboBox>(&dialog, 1182);
        QCOMPARE(kinds->count(), 7);
        QCOMPARE(kinds->itemText(5), QStringLiteral("年度收支走势图"));
        QCOMPARE(kinds->itemText(6), QStringLiteral("月度预算执行图"));
        QCOMPARE(kinds->currentIndex(), 0);
        QCOMPARE(dialog.Panel()->GetDrawnKind(), 1);
        for (int id : {1180, 1181, 1183, 1184})
            QVERIFY2(!Find<QWidget>(&dialog, id)->isEnabled(), qPrintable(QString::number(id)));
        // The cash of 3000 is the whole pie: red slice, nothing blue.
        dialog.Panel()->resize(486, 330);
        const QImage picture = dialog.Panel()->Picture();
        QVERIFY(Pixels(picture, qRgb(255, 0, 0)) > 500);
        dialog.Panel()->Clear();
        QCOMPARE(Pixels(dialog.Panel()->Picture(), qRgb(255, 0, 0)), 0);  // nothing before the next draw
    }

    void rangeKindsAndTheirPickers()
    {
        CMoneyBook &book = m_window->m_moneyBook;
        book.Add(At(2003, 5, 1, 9), QStringLiteral("工资"), 3000, "Li", QString());
        book.Add(At(2003, 6, 1), QStringLiteral("餐饮"), -1000, "Li", QString());
        book.Add(At(2004, 2, 1), QStringLiteral("餐饮"), -500, "Li", QString());
        CStatDlg dialog(m_window->m_moneyBook, m_window);
        auto *kinds = Find<QComboBox>(&dialog, 1182);
        kinds->setCurrentIndex(1);
        emit kinds->activated(1);
        const CStatNavigator &navigator = dialog.Navigator();
        QCOMPARE(navigator.Kind(), StatKind::IncomeAgainstExpense);
        QCOMPARE(navigator.Start(), At(2003, 5, 1, 9));
        auto *start = Find<QDateTimeEdit>(&dialog, 1180);
        auto *end = Find<QDateTimeEdit>(&dialog, 1181);
        QVERIFY(start->isEnabled() && end->isEnabled());
        QVERIFY(!Find<QWidget>(&dialog, 1183)->isEnabled());
        QCOMPARE(start->date(), QDate(2003, 5, 1));
        QCOMPARE(end->date(), LedgerNow().date());
        QCOMPARE(start->minimumDate(), QDate(2003, 5, 1));
        QCOMPARE(end->maximumDate(), LedgerNow().date());
        QCOMPARE(dialog.Panel()->GetDrawnKind(), 2);

        // The end picker on 2003-06-01: the range ends at that day's last second.
        end->setDate(QDate(2003, 6, 1));
        QCOMPARE(navigator.End(), LedgerDateTime(QDate(2003, 6, 1), QTime(23, 59, 59)));
        start->setDate(QDate(2003, 5, 2));  // the income of May 1st left out
        QCOMPARE(navigator.Start(), LedgerDateTime(QDate(2003, 5, 2)));

        // Chosen again: the range is reset.
        kinds->setCurrentIndex(3);
        emit kinds->activated(3);
        QCOMPARE(navigator.Start(), At(2003, 5, 1, 9));
        QCOMPARE(end->date(), LedgerNow().date());
        QCOMPARE(dialog.Panel()->GetDrawnKind(), 4);
    }

    void yearsStepFromTheFirstToTheLast()
    {
        CMoneyBook &book = m_window->m_moneyBook;
        book.Add(At(2001, 5, 1), QStringLiteral("工资"), 3000, "Li", QString());
        book.Add(At(2003, 6, 1), QStringLiteral("餐饮"), -1000, "Li", QString());
        CStatDlg dialog(m_window->m_moneyBook, m_window);
        auto *kinds = Find<QComboBox>(&dialog, 1182);
        kinds->setCurrentIndex(4);
        emit kinds->activated(4);
        auto *previous = Find<QPushButton>(&dialog, 1183);
        auto *next = Find<QPushButton>(&dialog, 1184);
        QCOMPARE(dialog.Navigator().Year(), 2001);
        QVERIFY(!previous->isEnabled());
        QVERIFY(next->isEnabled());
        QVERIFY(!Find<QWidget>(&dialog, 1180)->isEnabled());
        next->click();
        QVERIFY(previous->isEnabled());
        next->click();
        QCOMPARE(dialog.Navigator().Year(), 2003);
        QVERIFY(!next->isEnabled());
        QCOMPARE(dialog.Panel()->GetDrawnKind(), 5);
        previous->click();
        QCOMPARE(dialog.Navigator().Year(), 2002);
    }

    void theBudgetStepsMonthByMonthFromTheFirstRecord()
    {
        const QDate today = QDate::currentDate();
        CMoneyBook &book = m_window->m_moneyBook;
        book.Add(LedgerDateTime(today.addMonths(-2)), QStringLiteral("餐饮"), -800, "Li", QString());
        book.Add(LedgerDateTime(today), QStringLiteral("餐饮"), -1900, "Li", QString());
        CBudgetBook budgets(OpenLedgerDatabase());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 1500), QString());
        CStatDlg dialog(m_window->m_moneyBook, m_window);
        dialog.Panel()->resize(486, 330);
        auto *kinds = Find<QComboBox>(&dialog, 1182);
        kinds->setCurrentIndex(6);
        emit kinds->activated(6);
        auto *previous = Find<QPushButton>(&dialog, 1183);
        auto *next = Find<QPushButton>(&dialog, 1184);
        QCOMPARE(dialog.Panel()->GetDrawnKind(), 7);
        QCOMPARE(dialog.Navigator().Month(), QDate(today.year(), today.month(), 1));
        QCOMPARE(previous->toolTip(), QStringLiteral("上个月"));
        QVERIFY(previous->isEnabled() && !next->isEnabled());
        QVERIFY(!Find<QWidget>(&dialog, 1180)->isEnabled());
        // This month's 餐饮 over its budget: a red bar taller than the blue one beside it.
        const QImage over = dialog.Panel()->Picture();
        previous->click();
        previous->click();
        QVERIFY(!previous->isEnabled() && next->isEnabled());
        QCOMPARE(dialog.Navigator().Month(), QDate(today.addMonths(-2).year(), today.addMonths(-2).month(), 1));
        const QImage under = dialog.Panel()->Picture();
        QVERIFY(Pixels(over, qRgb(255, 0, 0)) > Pixels(under, qRgb(255, 0, 0)));
        // Back on a kind of years, the buttons say so again.
        kinds->setCurrentIndex(4);
        emit kinds->activated(4);
        QCOMPARE(previous->toolTip(), QStringLiteral("上一年"));
    }

    void anEmptyLedgerDrawsEveryKind()
    {
        CStatDlg dialog(m_window->m_moneyBook, m_window);
        dialog.Panel()->resize(486, 330);
        auto *kinds = Find<QComboBox>(&dialog, 1182);
        for (int kind = 0; kind < kStatKindCount; ++kind) {
            kinds->setCurrentIndex(kind);
            emit kinds->activated(kind);
            QCOMPARE(dialog.Panel()->GetDrawnKind(), kind + 1);
            QVERIFY(!dialog.Panel()->Picture().isNull());
            QVERIFY(!Find<QWidget>(&dialog, 1183)->isEnabled());
            QVERIFY(!Find<QWidget>(&dialog, 1184)->isEnabled());
        }
        QVERIFY(m_open->messages.messages.isEmpty());
    }

private:
    std::unique_ptr<OpenLedger> m_open;
    CMainDlg *m_window = nullptr;
};

QTEST_MAIN(TestStatDlg)
#include "tst_statdlg.moc"
