// The income and expense book: the Money table a page of 100 rows at a time, with the cash total.
#pragma once

#include "db/CBook.h"
#include "db/CMoneyRecord.h"

#include <QDateTime>

class CMoneyBook : public CBook
{
public:
    static constexpr int kPageSize = 100;

    CMoneyBook();

    void ShowPage(int page, const QString &sort);
    void SetFilter(const QString &filter);
    QString GetFilter() const { return m_strFilter; }
    int GetPageCount() const { return m_nPageCount; }
    int GetCurrentPage() const { return m_nCurrentPage; }

    void Add(const QDateTime &date, const QString &item, double amount, const QString &member, const QString &explain);
    void Modify(const QDateTime &date, const QString &item, double amount, const QString &member, const QString &explain);
    bool Remove();

    void ComputeTotal();
    double GetTotal() const { return m_dTotal; }

    // Collects the records of the shown (filtered) set that meet every criterion whose flag is set.
    bool FindRecords(const QString &dateText, bool useDate, const QString &itemText, bool useItem,
                     const QString &amountText, bool useAmount, const QString &memberText, bool useMember);
    bool FindNext() override;
    // The income and expense list is searched by FindRecords over the whole filtered table.
    bool FindText(int column, const QString &text) = delete;

    QDateTime GetFirstDate();
    QDateTime GetLastDate();

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    QDateTime EdgeDate(bool last);
    void Write(const QDateTime &date, const QString &item, double amount, const QString &member, const QString &explain);
    void UpdatePageCount();

    CMoneyRecord m_set;
    QString m_strFilter;
    long m_nCount = 0;
    int m_nPageCount = 0;
    int m_nCurrentPage = 1;
    double m_dTotal = 0.0;
};
