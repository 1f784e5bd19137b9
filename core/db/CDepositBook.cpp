// Fixed-term deposits; totals count the home currency only.
#include "CDepositBook.h"

#include "db/BookValues.h"
#include "db/FilterParser.h"
#include "db/KeptFigures.h"
#include "lists/ReferenceLists.h"


CDepositBook::CDepositBook() : CBook(10) {}

QStringList CDepositBook::RecordTexts()
{
    return {ListDateText(m_set.m_BDate), m_set.m_Account, m_set.m_MKind, m_set.m_DKind, TrimAmount(m_set.m_BMoney),
            TrimAmount(m_set.m_EMoney), ListDateText(m_set.m_EDate), m_set.m_Bank, m_set.m_Member, m_set.m_Explain};
}

// The kinds of the columns above: 办理日期、帐户、货币种类、存单类型、存入金额、到期金额、到期日期、办理银行、经手人、备注.
QList<ColumnKind> CDepositBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Text, ColumnKind::Text, ColumnKind::Amount,
            ColumnKind::Amount, ColumnKind::Date, ColumnKind::Text, ColumnKind::Text, ColumnKind::Text};
}

void CDepositBook::ReadTotals()
{
    const QString home = QStringLiteral("MKind=") + QuoteFilterText(kHomeCurrency);
    m_depositCents = KeptFigure(m_set.Connection(), QStringLiteral("Deposit"), QStringLiteral("BMoney"), home).value_or(0);
    m_dueCents = KeptFigure(m_set.Connection(), QStringLiteral("Deposit"), QStringLiteral("EMoney"), home).value_or(0);
}

void CDepositBook::Fill(const QString &sort)
{
    FillRows(sort);
}

bool CDepositBook::Add(const QString &beginText, const QString &account, const QString &kind,
                       const QString &depositKind, const QString &depositText, const QString &dueText,
                       const QString &endText, const QString &bank, const QString &member, const QString &explain)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] {
        m_set.m_BDate = DateValue(beginText);
        m_set.m_Account = account;
        m_set.m_MKind = kind;
        m_set.m_DKind = depositKind;
        m_set.m_BMoney = AmountValue(depositText);
        m_set.m_EMoney = AmountValue(dueText);
        m_set.m_EDate = DateValue(endText);
        m_set.m_Bank = bank;
        m_set.m_Member = member;
        m_set.m_Explain = explain;
    });
    AppendRow(id, {beginText, account, kind, depositKind, depositText, dueText, endText, bank, member, explain});
    return true;
}

bool CDepositBook::AddInstalment(const QString &dateText, const QString &amountText, const QString &member,
                                 const QString &explain)
{
    ChangeBatch batch(*this);
    double deposited = 0.0;
    const bool saved = CommitModify([&] {
        m_set.m_BDate = DateValue(dateText);
        // Whole cents, so that instalments added one by one sum without float noise.
        m_set.m_BMoney = AmountValue(double(ToCents(m_set.m_BMoney) + ToCents(AmountValue(amountText))) / 100.0);
        m_set.m_Member = member;
        m_set.m_Explain = explain;
        deposited = m_set.m_BMoney;
    });
    if (!saved)
        return false;
    QStringList texts = GetRowTexts(GetSelected());
    texts[0] = dateText;
    texts[4] = TrimAmount(deposited);
    texts[8] = member;
    texts[9] = explain;
    SetRowTexts(GetSelected(), texts);
    return true;
}

bool CDepositBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}

void CDepositBook::ComputeTotals()
{
    ChangeBatch batch(*this);
    if (!m_set.IsOpen())
        m_set.Open();
    ReadTotals();
    MarkChanged();
}

void CDepositBook::CollectAccounts(QStringList *accounts)
{
    CollectDistinct([this] { return m_set.m_Account + QStringLiteral(" ## ") + m_set.m_Bank; }, accounts);
}

void CDepositBook::Reload()
{
    ChangeBatch batch(*this);
    Close();
    Fill(QStringLiteral("BDate"));
    ComputeTotals();
}
