// What the statistics dialog shows and lets the user change: the chosen kind, its date range or its
// year, and which date pickers and year buttons can be used.
#pragma once

#include "stats/StatCharts.h"

#include <QDateTime>

class CMoneyFigures;

class CStatNavigator
{
public:
    // A kind chosen (again): the range charts run from the first record's date and time to now, the
    // annual ones show the first record's year and step up to the last record's.
    void Choose(StatKind kind, const QDateTime &firstRecord, const QDateTime &lastRecord, const QDateTime &now);
    // A picker holds a day: the range starts at its first moment, or ends at its last.
    void SetStartDay(const QDate &day);
    void SetEndDay(const QDate &day);
    void PreviousYear();
    void NextYear();

    StatKind Kind() const { return m_kind; }
    QDateTime Start() const { return m_start; }
    QDateTime End() const { return m_end; }
    int Year() const { return m_year; }
    // The days the pickers may show: the range as it was when the kind was chosen.
    QDate FirstDay() const { return m_firstDay; }
    QDate LastDay() const { return m_lastDay; }

    bool IsRangeKind() const;
    bool IsAnnualKind() const;
    bool CanGoBack() const { return IsAnnualKind() && m_year != m_start.date().year(); }
    bool CanGoOn() const { return IsAnnualKind() && m_year != m_end.date().year(); }

    // The chart of the kind as it now stands; the total assets from the holdings given.
    ChartPlan Chart(CMoneyFigures &figures, const Holdings &holdings) const;

private:
    StatKind m_kind = StatKind::TotalAssets;
    QDateTime m_start, m_end;
    QDate m_firstDay, m_lastDay;
    int m_year = 0;
};
