// The lent and borrowed book: lending and borrowing activity with its running total.
#pragma once

#include "db/CBook.h"
#include "db/CCreditRecord.h"

class CCreditBook : public CBook
{
public:
    CCreditBook();
    void Fill(const QString &sort);
    void Add(const QString &dateText, const QString &active, const QString &moneyText, const QString &people,
             const QString &member, const QString &explain);
    void Modify(const QString &dateText, const QString &active, const QString &moneyText, const QString &people,
                const QString &member, const QString &explain);
    bool Remove();

    void ComputeTotals();
    double GetTotal() const { return m_dTotal; }

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    void Write(const QString &dateText, const QString &active, const QString &moneyText, const QString &people,
               const QString &member, const QString &explain);
    static QStringList Row(const QString &dateText, const QString &active, const QString &moneyText,
                           const QString &people, const QString &member, const QString &explain);
    CCreditRecord m_set;
    double m_dTotal = 0.0;
};
