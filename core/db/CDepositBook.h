// The fixed-term savings book: one row per deposit, with the home-currency totals deposited and due.
#pragma once

#include "db/CBook.h"
#include "db/CDepositRecord.h"

class CDepositBook : public CBook
{
public:
    CDepositBook();
    void Fill(const QString &sort);
    bool Add(const QString &beginText, const QString &account, const QString &kind, const QString &depositKind,
             const QString &depositText, const QString &dueText, const QString &endText, const QString &bank,
             const QString &member, const QString &explain);
    // A further instalment on the selected instalment-savings deposit.
    bool AddInstalment(const QString &dateText, const QString &amountText, const QString &member,
                       const QString &explain);
    bool Remove();

    void ComputeTotals();
    // Lists every record and reads the totals again, after a change rolled back elsewhere may have
    // left the list behind the table.
    void Reload();
    double GetDepositTotal() const { return double(m_depositCents) / 100.0; }
    double GetDueTotal() const { return double(m_dueCents) / 100.0; }

    void CollectAccounts(QStringList *accounts);

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;
    void ReadTotals() override;

private:
    CDepositRecord m_set;
    qint64 m_depositCents = 0;
    qint64 m_dueCents = 0;
};
