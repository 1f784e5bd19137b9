// Asset records and their totals (the amounts as stored, not multiplied by the quantity).
#include "CArticleBook.h"

#include "common/Amount.h"
#include "db/BookValues.h"
#include "db/KeptFigures.h"

CArticleBook::CArticleBook() : CBook(5) {}

QStringList CArticleBook::RecordTexts()
{
    return {m_set.m_Name, QString::number(m_set.m_Number), TrimAmount(m_set.m_Cost), TrimAmount(m_set.m_Value),
            m_set.m_Explain};
}

// The kinds of the columns above: 物品名称、物品数量、成本、估值、备注.
QList<ColumnKind> CArticleBook::ColumnKinds() const
{
    return {ColumnKind::Text, ColumnKind::Number, ColumnKind::Amount, ColumnKind::Amount, ColumnKind::Text};
}

void CArticleBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CArticleBook::ReadTotals()
{
    m_totalCostCents = KeptFigure(m_set.Connection(), QStringLiteral("Article"), QStringLiteral("Cost")).value_or(0);
    m_totalValueCents = KeptFigure(m_set.Connection(), QStringLiteral("Article"), QStringLiteral("Value")).value_or(0);
}

void CArticleBook::Write(const QString &name, const QString &numberText, const QString &costText,
                         const QString &valueText, const QString &explain)
{
    m_set.m_Name = name;
    m_set.m_Number = ShortValue(numberText, QStringLiteral("物品数量"));
    m_set.m_Cost = AmountValue(costText);
    m_set.m_Value = AmountValue(valueText);
    m_set.m_Explain = explain;
}

bool CArticleBook::Add(const QString &name, const QString &numberText, const QString &costText,
                       const QString &valueText, const QString &explain)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] { Write(name, numberText, costText, valueText, explain); });
    AppendRow(id, {name, numberText, costText, valueText, explain});
    return true;
}

bool CArticleBook::Modify(const QString &name, const QString &numberText, const QString &costText,
                          const QString &valueText, const QString &explain)
{
    ChangeBatch batch(*this);
    if (!CommitModify([&] { Write(name, numberText, costText, valueText, explain); }))
        return false;
    SetRowTexts(GetSelected(), {name, numberText, costText, valueText, explain});
    return true;
}

bool CArticleBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}

void CArticleBook::ComputeTotals()
{
    ChangeBatch batch(*this);
    if (!m_set.IsOpen())
        m_set.Open();
    ReadTotals();
    MarkChanged();
}
