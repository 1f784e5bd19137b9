// The lent and borrowed book: lending and borrowing activity with its running total.
#pragma once

#include "db/CBook.h"
#include "db/CCreditRecord.h"

class CCreditBook : public CBook
{
public:
    CCreditBook();
    void Fill(const QString &sort);
    bool Add(const QString &dateText, const QString &active, const QString &moneyText, const QString &people,
             const QString &member, const QString &explain);
    bool Modify(const QString &dateText, const QString &active, const QString &moneyText, const QString &people,
                const QString &member, const QString &explain);
    bool Remove();

    void ComputeTotals();
    double GetTotal() const { return double(m_totalCents) / 100.0; }

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;
    void ReadTotals() override;

private:
    void Write(const QString &dateText, const QString &active, const QString &moneyText, const QString &people,
               const QString &member, const QString &explain);
    static QStringList Row(const QString &dateText, const QString &active, const QString &moneyText,
                           const QString &people, const QString &member, const QString &explain);
    CCreditRecord m_set;
    qint64 m_totalCents = 0;
};
