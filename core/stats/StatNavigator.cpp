// The statistics dialog's state.
#include "StatNavigator.h"

#include "common/LedgerDate.h"
#include "stats/MoneyFigures.h"

void CStatNavigator::Choose(StatKind kind, const QDateTime &firstRecord, const QDateTime &lastRecord,
                            const QDateTime &now)
{
    m_kind = kind;
    m_start = firstRecord;
    m_end = IsRangeKind() ? now : lastRecord;
    m_firstDay = m_start.date();
    m_lastDay = m_end.date();
    m_year = m_start.date().year();
    m_month = FirstOfMonth(now.date());
    if (IsMonthKind()) {
        // A record's date that cannot be read (the empty date) bounds nothing: now's month does.
        m_end = lastRecord.isValid() ? std::max(now, lastRecord) : now;
        m_start = firstRecord.isValid() ? std::min(firstRecord, now) : now;
    }
}

QDate CStatNavigator::FirstOfMonth(const QDate &day)
{
    return QDate(day.year(), day.month(), 1);
}

bool CStatNavigator::CanGoBack() const
{
    if (IsMonthKind())
        return m_month > FirstOfMonth(m_start.date());
    return IsAnnualKind() && m_year != m_start.date().year();
}

bool CStatNavigator::CanGoOn() const
{
    if (IsMonthKind())
        return m_month < FirstOfMonth(m_end.date());
    return IsAnnualKind() && m_year != m_end.date().year();
}

bool CStatNavigator::IsRangeKind() const
{
    return m_kind == StatKind::IncomeAgainstExpense || m_kind == StatKind::IncomeByItem
           || m_kind == StatKind::ExpenseByItem;
}

bool CStatNavigator::IsAnnualKind() const
{
    return m_kind == StatKind::AnnualBars || m_kind == StatKind::AnnualLines;
}

void CStatNavigator::SetStartDay(const QDate &day)
{
    m_start = LedgerDateTime(day);
}

void CStatNavigator::SetEndDay(const QDate &day)
{
    m_end = LedgerDateTime(day, QTime(23, 59, 59));
}

void CStatNavigator::StepBack()
{
    if (!CanGoBack())
        return;
    if (IsMonthKind())
        m_month = m_month.addMonths(-1);
    else
        --m_year;
}

void CStatNavigator::StepOn()
{
    if (!CanGoOn())
        return;
    if (IsMonthKind())
        m_month = m_month.addMonths(1);
    else
        ++m_year;
}

ChartPlan CStatNavigator::Chart(CMoneyFigures &figures, const Holdings &holdings) const
{
    switch (m_kind) {
    case StatKind::TotalAssets: return TotalAssetsChart(holdings);
    case StatKind::IncomeAgainstExpense:
        return IncomeAgainstExpenseChart(figures.IncomeAndExpense(m_start, m_end), m_start.date(), m_end.date());
    case StatKind::IncomeByItem:
    case StatKind::ExpenseByItem: {
        const bool income = m_kind == StatKind::IncomeByItem;
        return ItemChart(income, SelectItemShares(figures.Items(income, m_start, m_end)), m_start.date(), m_end.date());
    }
    case StatKind::BudgetAgainstSpent: return BudgetChart(figures.Budget(m_month.toString(QStringLiteral("yyyy-MM"))));
    case StatKind::AnnualBars:
    case StatKind::AnnualLines: break;
    }
    return AnnualChart(m_kind == StatKind::AnnualBars, m_year, figures.Year(m_year));
}
