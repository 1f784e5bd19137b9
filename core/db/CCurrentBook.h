// The demand-savings book: movements on accounts, the home-currency total, balances per account,
// and closing an account.
#pragma once

#include "db/CBook.h"
#include "db/CCurrentRecord.h"

#include <QHash>

class CCurrentBook : public CBook
{
public:
    CCurrentBook();
    void Fill(const QString &sort);
    bool Add(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
             const QString &moneyText, const QString &reason, const QString &member, const QString &explain);
    bool Modify(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                const QString &moneyText, const QString &reason, const QString &member, const QString &explain);
    bool Remove();

    void ComputeTotals();
    double GetTotal() const { return double(m_totalCents) / 100.0; }

    // Appends Account + " ## " + Bank of every record, each pair once.
    void CollectAccounts(QStringList *accounts);

    // Fills the balance list: every account once, in order of first appearance, followed by its
    // balance in the currency as "%.2f".
    void ComputeBalances(const QString &currency);
    const QStringList &GetBalances() const { return m_balanceList; }

    // Deletes every movement of the account, in the table and in the list, all or nothing. On a ledger
    // other computers write too, the account's records are locked first and must still be those its
    // balance was computed from (ComputeBalances): an account another computer closed, or whose
    // records it added to or changed since, is refused (RecordChangedElsewhere) with nothing deleted,
    // and the list is read again so that the balances show the account as it now is.
    void CloseAccount(const QString &account);

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;
    void ReadTotals() override;

private:
    // Every column of the table, quoted, for a select list; a row of them read from the column first on.
    QString RecordColumns();
    static SqlRow ReadRecord(const SqlStatement &row, int first, int columns);
    void Write(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
               const QString &moneyText, const QString &reason, const QString &member, const QString &explain);

    CCurrentRecord m_set;
    qint64 m_totalCents = 0;
    QStringList m_balanceList;
    // On a shared ledger: per account, the versions of its records summed (RecordVersion), as the
    // balances were last computed.
    QHash<QString, quint64> m_shownAccounts;
};
