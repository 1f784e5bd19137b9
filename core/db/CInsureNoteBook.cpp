// Policies.
#include "CInsureNoteBook.h"

#include "common/Amount.h"

#include "db/BookValues.h"
#include "db/DbError.h"
#include "db/FilterParser.h"

namespace {

// The policy book opens its set for one operation: closed again however the operation ends.
struct ClosedAfterwards
{
    explicit ClosedAfterwards(CRecordSet &set) : m_set(set) {}
    ~ClosedAfterwards()
    {
        if (m_set.IsOpen())
            m_set.Close();
    }
    CRecordSet &m_set;
};

} // namespace

CInsureNoteBook::CInsureNoteBook() : CBook(2) {}

QStringList CInsureNoteBook::RecordTexts()
{
    return {m_set.m_Name, TrimAmount(m_set.m_PayedMoney)};
}

// The kinds of the columns above: 保单名称、已交金额.
QList<ColumnKind> CInsureNoteBook::ColumnKinds() const
{
    return {ColumnKind::Text, ColumnKind::Amount};
}

void CInsureNoteBook::Write(const QString &kind, const QString &organ, const QString &payText, const QString &getText,
                            int years, const QString &startText, const QString &endText, const QString &payPeople,
                            const QString &benefitPeople, const QString &insuredPeople, const QString &explain)
{
    m_set.m_InsureKind = kind;
    m_set.m_InsureOrgen = organ;
    m_set.m_PayMoney = AmountValue(payText);
    m_set.m_GetMoney = AmountValue(getText);
    m_set.m_Year = ShortValue(years, QStringLiteral("缴费年数"));
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
    ChangeBatch batch(*this);
    LeaveList();
    const ClosedAfterwards closed(m_set);
    if (!m_set.IsOpen())
        m_set.Open();
    CommitAdd([&] {
        m_set.m_Name = name;
        Write(kind, organ, payText, getText, years, startText, endText, payPeople, benefitPeople, insuredPeople,
              explain);
        m_set.m_PayedMoney = AmountValue(payedText);
    });
}

bool CInsureNoteBook::EditPolicy(const QString &name, const QString &kind, const QString &organ,
                                 const QString &payText, const QString &getText, int years, const QString &startText,
                                 const QString &endText, const QString &payPeople, const QString &benefitPeople,
                                 const QString &insuredPeople, const QString &explain, quint64 shownVersion)
{
    ChangeBatch batch(*this);
    LeaveList();
    const ClosedAfterwards closed(m_set);
    if (m_set.IsOpen())
        m_set.Close();
    m_set.m_strFilter = QStringLiteral("Name=") + QuoteFilterText(name);
    m_set.Open();
    m_set.m_strFilter.clear();
    if (m_set.IsEOF())
        return false;
    const qint64 id = m_set.CurrentId();
    Commit([&] {
        if (m_set.Connection().IsShared()) {
            const quint64 now = m_set.LockCurrent();
            if (now == 0)
                throw RecordChangedElsewhere(RecordChangedElsewhere::How::Deleted,
                                             QStringLiteral("保单“%1”已被另一台电脑删除，没有保存您的改动。").arg(name));
            const std::optional<quint64> own = m_set.Connection().OwnVersion(m_set.TableName(), id);
            if (shownVersion != 0 && now != shownVersion && !(own && *own == now))
                throw RecordChangedElsewhere(RecordChangedElsewhere::How::Changed,
                                             QStringLiteral("保单“%1”已被另一台电脑修改，没有保存您的改动。"
                                                            "对话框中仍是您填写的内容，已交金额是它现在的数；再按“确定”就按您填写的保存。")
                                                 .arg(name));
        }
        m_set.Edit();
        Write(kind, organ, payText, getText, years, startText, endText, payPeople, benefitPeople, insuredPeople,
              explain);
        m_set.Update();
    });
    return true;
}

bool CInsureNoteBook::IsNameFree(const QString &name)
{
    LeaveList();
    const ClosedAfterwards closed(m_set);
    if (!m_set.IsOpen())
        m_set.Open();
    return !m_set.FindFirst(QStringLiteral("Name=") + QuoteFilterText(name));
}

std::optional<CInsureNoteBook::Policy> CInsureNoteBook::ReadPolicy(const QString &name)
{
    LeaveList();
    const ClosedAfterwards closed(m_set);
    if (!m_set.IsOpen())
        m_set.Open();
    if (!m_set.FindFirst(QStringLiteral("Name=") + QuoteFilterText(name)))
        return std::nullopt;
    const auto day = [](const QDateTime &date) { return date.date().toString(QStringLiteral("yyyy-MM-dd")); };
    Policy policy;
    policy.name = m_set.m_Name;
    policy.kind = m_set.m_InsureKind;
    policy.organ = m_set.m_InsureOrgen;
    policy.pay = TrimAmount(m_set.m_PayMoney);
    policy.get = TrimAmount(m_set.m_GetMoney);
    policy.payed = TrimAmount(m_set.m_PayedMoney);
    policy.years = m_set.m_Year;
    policy.start = day(m_set.m_StartDate);
    policy.end = m_set.m_EndDate == NoEndDate() ? QString() : day(m_set.m_EndDate);
    policy.payPeople = m_set.m_PayPeople;
    policy.benefitPeople = m_set.m_BenefitPeople;
    policy.insuredPeople = m_set.m_BeInsuredPeople;
    policy.explain = m_set.m_Explain;
    policy.version = m_set.Connection().IsShared() ? m_set.CurrentVersion() : 0;
    return policy;
}

void CInsureNoteBook::CollectNames(QStringList *names)
{
    LeaveList();
    const ClosedAfterwards closed(m_set);
    if (!m_set.IsOpen())
        m_set.Open();
    m_set.ForEachById(m_set.AllIds(), [&](qint64) { names->append(m_set.m_Name); });
}

void CInsureNoteBook::Fill(const QString &sort)
{
    ChangeBatch batch(*this);
    LeaveList();
    if (m_set.IsOpen())
        m_set.Close();
    m_set.m_strFilter.clear();
    FillRows(sort);
    m_listing = true;
}

void CInsureNoteBook::LeaveList()
{
    if (!m_listing)
        return;
    LoadAllTexts();
    m_listing = false;
}

bool CInsureNoteBook::Remove()
{
    ChangeBatch batch(*this);
    if (m_listing)
        return CommitRemove();  // the set is open on the list
    const ClosedAfterwards closed(m_set);
    if (m_set.IsOpen())
        m_set.Close();
    m_set.Open();
    return CommitRemove();
}

void CInsureNoteBook::Close()
{
    LeaveList();
    CBook::Close();
}
