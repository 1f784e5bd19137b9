// The asset book: physical assets with their quantity, cost and present value, and the two totals.
#pragma once

#include "db/CArticleRecord.h"
#include "db/CBook.h"

class CArticleBook : public CBook
{
public:
    CArticleBook();
    void Fill(const QString &sort);
    // Each true when the record was saved; a refused value or a database failure throws DbError and
    // changes nothing.
    bool Add(const QString &name, const QString &numberText, const QString &costText, const QString &valueText,
             const QString &explain);
    bool Modify(const QString &name, const QString &numberText, const QString &costText, const QString &valueText,
                const QString &explain);
    bool Remove();

    // The totals as the database keeps them, in whole cents.
    void ComputeTotals();
    double GetTotalCost() const { return double(m_totalCostCents) / 100.0; }
    double GetTotalValue() const { return double(m_totalValueCents) / 100.0; }

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;
    void ReadTotals() override;

private:
    void Write(const QString &name, const QString &numberText, const QString &costText, const QString &valueText,
               const QString &explain);
    CArticleRecord m_set;
    qint64 m_totalCostCents = 0;
    qint64 m_totalValueCents = 0;
};
