// The asset book: physical assets with their quantity, cost and present value, and the two totals.
#pragma once

#include "db/CArticleRecord.h"
#include "db/CBook.h"

class CArticleBook : public CBook
{
public:
    CArticleBook();
    void Fill(const QString &sort);
    void Add(const QString &name, const QString &numberText, const QString &costText, const QString &valueText,
             const QString &explain);
    void Modify(const QString &name, const QString &numberText, const QString &costText, const QString &valueText,
                const QString &explain);
    bool Remove();

    void ComputeTotals();
    double GetTotalCost() const { return m_dTotalCost; }
    double GetTotalValue() const { return m_dTotalValue; }

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    void Write(const QString &name, const QString &numberText, const QString &costText, const QString &valueText,
               const QString &explain);
    CArticleRecord m_set;
    double m_dTotalCost = 0.0;
    double m_dTotalValue = 0.0;
};
