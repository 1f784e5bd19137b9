// The insurance activity book: activities on policies, the total of premiums paid, and each policy's
// PayedMoney kept in step with its premium activities.
#pragma once

#include "db/CBook.h"
#include "db/CInsureRecord.h"

class CInsureBook : public CBook
{
public:
    CInsureBook();

    // "缴纳保费" and "保单开户": the activities that pay a premium.
    static bool IsPremium(const QString &active);

    void Fill(const QString &sort);
    bool Add(const QString &dateText, const QString &policy, const QString &active, const QString &moneyText,
             const QString &member, const QString &explain);
    bool Modify(const QString &dateText, const QString &policy, const QString &active, const QString &moneyText,
                const QString &member, const QString &explain);
    bool Remove();
    // Deletes every activity of the policy, all or nothing.
    void RemoveActivities(const QString &policy);

    void ComputeTotals();
    // Lists every record and reads the totals again, after a change rolled back elsewhere may have
    // left the list behind the table.
    void Reload();
    double GetTotal() const { return double(m_totalCents) / 100.0; }

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;
    void ReadTotals() override;

private:
    static QStringList Row(const QString &dateText, const QString &policy, const QString &active,
                           const QString &moneyText, const QString &member, const QString &explain);
    void Write(const QDateTime &date, const QString &policy, const QString &active, double money,
               const QString &member, const QString &explain);
    // Adds change to the policy's PayedMoney. When required, a missing policy is an error.
    void UpdatePolicy(const QString &policy, double change, bool required);

    CInsureRecord m_set;
    qint64 m_totalCents = 0;
};
