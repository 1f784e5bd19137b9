// What the statistics dialog shows and lets the user change: the chosen kind, its date range, its
// year or its month, and which date pickers and stepping buttons can be used.
#pragma once

#include "stats/StatCharts.h"

#include <QDateTime>

class CMoneyFigures;

class CStatNavigator
{
public:
    // A kind chosen (again): the range charts run from the first record's date and time to now, the
    // annual ones show the first record's year and step up to the last record's, the budget shows the
    // month of now and steps from the first record's month to the later of now's and the last record's.
    void Choose(StatKind kind, const QDateTime &firstRecord, const QDateTime &lastRecord, const QDateTime &now);
    // A picker holds a day: the range starts at its first moment, or ends at its last.
    void SetStartDay(const QDate &day);
    void SetEndDay(const QDate &day);
    // The year (annual kinds) or month (the budget) before or after; nothing beyond the records.
    void StepBack();
    void StepOn();

    StatKind Kind() const { return m_kind; }
    QDateTime Start() const { return m_start; }
    QDateTime End() const { return m_end; }
    int Year() const { return m_year; }
    QDate Month() const { return m_month; }  // its first day
    // The days the pickers may show: the range as it was when the kind was chosen.
    QDate FirstDay() const { return m_firstDay; }
    QDate LastDay() const { return m_lastDay; }

    bool IsRangeKind() const;
    bool IsAnnualKind() const;
    bool IsMonthKind() const { return m_kind == StatKind::BudgetAgainstSpent; }
    bool CanGoBack() const;
    bool CanGoOn() const;

    // The chart of the kind as it now stands; the total assets from the holdings given.
    ChartPlan Chart(CMoneyFigures &figures, const Holdings &holdings) const;

private:
    static QDate FirstOfMonth(const QDate &day);

    StatKind m_kind = StatKind::TotalAssets;
    QDateTime m_start, m_end;
    QDate m_firstDay, m_lastDay;
    int m_year = 0;
    QDate m_month;
};
