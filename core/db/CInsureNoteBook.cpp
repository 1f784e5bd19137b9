// Policies.
#include "CInsureNoteBook.h"

#include "db/BookValues.h"
#include "db/FilterParser.h"

CInsureNoteBook::CInsureNoteBook() : CBook(2) {}

QStringList CInsureNoteBook::RecordTexts()
{
    return {m_set.m_Name, TrimAmount(m_set.m_PayedMoney)};
}

void CInsureNoteBook::Write(const QString &kind, const QString &organ, const QString &payText, const QString &getText,
                            int years, const QString &startText, const QString &endText, const QString &payPeople,
                            const QString &benefitPeople, const QString &insuredPeople, const QString &explain)
{
    m_set.m_InsureKind = kind;
    m_set.m_InsureOrgen = organ;
    m_set.m_PayMoney = AtoF(payText);
    m_set.m_GetMoney = AtoF(getText);
    m_set.m_Year = qint16(years);
    m_set.m_StartDate = DateValue(startText);
    m_set.m_EndDate = EndDateValue(endText);
    m_set.m_PayPeople = payPeople;
    m_set.m_BenefitPeople = benefitPeople;
    m_set.m_BeInsuredPeople = insuredPeople;
    m_set.m_Explain = explain;
}

void CInsureNoteBook::AddPolicy(const QString &name, const QString &kind, const QString &organ, const QString &payText,
                                const QString &getText, const QString &payedText, int years, const QString &startText,
                                const QString &endText, const QString &payPeople, const QString &benefitPeople,
                                const QString &insuredPeople, const QString &explain)
{
    DateValue(startText);
    EndDateValue(endText);
    if (!m_set.IsOpen())
        m_set.Open();
    m_set.AddNew();
    m_set.m_Name = name;
    Write(kind, organ, payText, getText, years, startText, endText, payPeople, benefitPeople, insuredPeople, explain);
    m_set.m_PayedMoney = AtoF(payedText);
    try {
        m_set.Update();
    } catch (...) {
        m_set.Close();
        throw;
    }
    m_set.Close();
}

void CInsureNoteBook::EditPolicy(const QString &name, const QString &kind, const QString &organ,
                                 const QString &payText, const QString &getText, int years, const QString &startText,
                                 const QString &endText, const QString &payPeople, const QString &benefitPeople,
                                 const QString &insuredPeople, const QString &explain)
{
    DateValue(startText);
    EndDateValue(endText);
    if (m_set.IsOpen())
        m_set.Close();
    m_set.m_strFilter = QStringLiteral("Name=") + QuoteFilterText(name);
    m_set.Open();
    m_set.m_strFilter.clear();
    if (!m_set.IsEOF()) {
        m_set.Edit();
        Write(kind, organ, payText, getText, years, startText, endText, payPeople, benefitPeople, insuredPeople,
              explain);
        m_set.Update();
    }
    m_set.Close();
}

bool CInsureNoteBook::IsNameFree(const QString &name)
{
    if (!m_set.IsOpen())
        m_set.Open();
    const bool taken = m_set.FindFirst(QStringLiteral("Name=") + QuoteFilterText(name));
    m_set.Close();
    return !taken;
}

void CInsureNoteBook::CollectNames(QStringList *names)
{
    if (!m_set.IsOpen())
        m_set.Open();
    m_set.ForEachById(m_set.AllIds(), [&](qint64) { names->append(m_set.m_Name); });
    m_set.Close();
}

void CInsureNoteBook::Fill(const QString &sort)
{
    m_set.m_strSort = sort;
    if (!m_set.IsOpen())
        m_set.Open();
    DeleteAllRows();
    for (m_set.MoveFirst(); !m_set.IsEOF(); m_set.MoveNext())
        AppendRow(m_set.m_ID, RecordTexts());
    m_set.Close();
    m_nSelected = -1;
}

bool CInsureNoteBook::Remove()
{
    if (m_set.IsOpen())
        m_set.Close();
    m_set.Open();
    const int removed = m_nSelected;
    const int rowsBefore = GetItemCount();
    if (FindSelectedRecord()) {
        m_set.Delete();
        DeleteRow(removed);
    }
    const bool remain = ReselectAfterRemove(removed, rowsBefore);
    m_set.Close();
    return remain;
}
