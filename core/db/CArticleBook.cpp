// Asset records and their totals (the amounts as stored, not multiplied by the quantity).
#include "CArticleBook.h"

#include "common/Amount.h"

CArticleBook::CArticleBook() : CBook(5) {}

QStringList CArticleBook::RecordTexts()
{
    return {m_set.m_Name, QString::number(m_set.m_Number), TrimAmount(m_set.m_Cost), TrimAmount(m_set.m_Value),
            m_set.m_Explain};
}

void CArticleBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CArticleBook::Write(const QString &name, const QString &numberText, const QString &costText,
                         const QString &valueText, const QString &explain)
{
    m_set.m_Name = name;
    m_set.m_Number = qint16(AtoI(numberText));
    m_set.m_Cost = AtoF(costText);
    m_set.m_Value = AtoF(valueText);
    m_set.m_Explain = explain;
}

void CArticleBook::Add(const QString &name, const QString &numberText, const QString &costText,
                       const QString &valueText, const QString &explain)
{
    if (TellIfClosed())
        return;
    m_set.AddNew();
    Write(name, numberText, costText, valueText, explain);
    m_set.Update();
    m_set.MoveLast();
    AppendRow(m_set.m_ID, {name, numberText, costText, valueText, explain});
    m_dTotalCost += AtoF(costText);
    m_dTotalValue += AtoF(valueText);
}

void CArticleBook::Modify(const QString &name, const QString &numberText, const QString &costText,
                          const QString &valueText, const QString &explain)
{
    if (!FindSelectedRecord())
        return;
    m_set.Edit();
    m_dTotalCost -= m_set.m_Cost;
    m_dTotalValue -= m_set.m_Value;
    Write(name, numberText, costText, valueText, explain);
    m_set.Update();
    m_dTotalCost += m_set.m_Cost;
    m_dTotalValue += m_set.m_Value;
    SetRowTexts(m_nSelected, {name, numberText, costText, valueText, explain});
}

bool CArticleBook::Remove()
{
    return RemoveSelected([this] {
        m_dTotalCost -= m_set.m_Cost;
        m_dTotalValue -= m_set.m_Value;
    });
}

void CArticleBook::ComputeTotals()
{
    WithFilter(QString(), [this] {
        m_dTotalCost = m_set.Sum(QStringLiteral("Cost"));
        m_dTotalValue = m_set.Sum(QStringLiteral("Value"));
    });
}
