// The fixed-term savings book: one row per deposit, with the home-currency totals deposited and due.
#pragma once

#include "db/CBook.h"
#include "db/CDepositRecord.h"

class CDepositBook : public CBook
{
public:
    CDepositBook();
    void Fill(const QString &sort);
    void Add(const QString &beginText, const QString &account, const QString &kind, const QString &depositKind,
             const QString &depositText, const QString &dueText, const QString &endText, const QString &bank,
             const QString &member, const QString &explain);
    // A further instalment on the selected instalment-savings deposit.
    void AddInstalment(const QString &dateText, const QString &amountText, const QString &member,
                       const QString &explain);
    bool Remove();

    void ComputeTotals();
    double GetDepositTotal() const { return m_dDepositTotal; }
    double GetDueTotal() const { return m_dDueTotal; }

    void CollectAccounts(QStringList *accounts);

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    bool IsHome() const;
    CDepositRecord m_set;
    double m_dDepositTotal = 0.0;
    double m_dDueTotal = 0.0;
};
