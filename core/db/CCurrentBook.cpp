// Demand-savings movements; totals count the home currency only.
#include "CCurrentBook.h"

#include "common/Amount.h"
#include "db/BookValues.h"
#include "db/FilterParser.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "lists/ReferenceLists.h"

#include <QHash>
#include <cmath>


CCurrentBook::CCurrentBook() : CBook(8) {}

QStringList CCurrentBook::RecordTexts()
{
    return {ListDateText(m_set.m_Date), m_set.m_Account, m_set.m_Bank, m_set.m_MKind, TrimAmount(m_set.m_Money),
            m_set.m_Reason, m_set.m_Member, m_set.m_Explain};
}

// The kinds of the columns above: 办理日期、帐户、办理银行、货币种类、金额、注释、经手人、备注.
QList<ColumnKind> CCurrentBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Text, ColumnKind::Text, ColumnKind::Amount,
            ColumnKind::Text, ColumnKind::Text, ColumnKind::Text};
}

void CCurrentBook::ReadTotals()
{
    m_totalCents = KeptFigure(m_set.Connection(), QStringLiteral("Current"), QStringLiteral("Money"),
                              QStringLiteral("MKind=") + QuoteFilterText(kHomeCurrency)).value_or(0);
}

void CCurrentBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CCurrentBook::Write(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                         const QString &moneyText, const QString &reason, const QString &member,
                         const QString &explain)
{
    m_set.m_Date = DateValue(dateText);
    m_set.m_Account = account;
    m_set.m_Bank = bank;
    m_set.m_MKind = kind;
    m_set.m_Money = AmountValue(moneyText);
    m_set.m_Reason = reason;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

bool CCurrentBook::Add(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                       const QString &moneyText, const QString &reason, const QString &member,
                       const QString &explain)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] { Write(dateText, account, bank, kind, moneyText, reason, member, explain); });
    AppendRow(id, {dateText, account, bank, kind, moneyText, reason, member, explain});
    return true;
}

bool CCurrentBook::Modify(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                          const QString &moneyText, const QString &reason, const QString &member,
                          const QString &explain)
{
    ChangeBatch batch(*this);
    if (!CommitModify([&] { Write(dateText, account, bank, kind, moneyText, reason, member, explain); }))
        return false;
    SetRowTexts(GetSelected(), {dateText, account, bank, kind, moneyText, reason, member, explain});
    return true;
}

bool CCurrentBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}

void CCurrentBook::ComputeTotals()
{
    ChangeBatch batch(*this);
    if (!m_set.IsOpen())
        m_set.Open();
    ReadTotals();
    MarkChanged();
}
void CCurrentBook::CollectAccounts(QStringList *accounts)
{
    CollectDistinct([this] { return m_set.m_Account + QStringLiteral(" ## ") + m_set.m_Bank; }, accounts);
}

void CCurrentBook::ComputeBalances(const QString &currency)
{
    // One pass over the list's records in order: each account once, where it first appears, with the
    // sum in cents of its amounts in the currency (0.00 when it has none).
    if (!m_set.IsOpen())
        m_set.Open();
    QStringList accounts;
    QHash<QString, qint64> cents;
    // Each amount counts as its row shows it (TrimAmount): a text the field does not read as a number
    // counts 0, and half a cent goes the way the row's "%.2f" takes it. Sums in cents stay exact.
    const auto shownCents = [](const SqlValue &money) -> qint64 {
        const double value = DoubleOfValue(money);
        // Clear of a half cent the nearest cent is the row's; at one, the row's own text decides.
        const double hundredfold = value * 100.0;
        const double nearest = std::round(hundredfold);
        if (std::fabs(value) < 1e13 && std::fabs(hundredfold - nearest) < 0.49)
            return qint64(nearest);
        const double shown = AtoF(TrimAmount(value));
        return std::fabs(shown) < 1e16 ? ToCents(shown) : 0;  // beyond any amount a ledger can hold
    };
    // On a shared ledger every column is read too: the versions of each account's records, for the
    // check of a closing.
    const bool shared = m_set.Connection().IsShared();
    QString selectList = QStringLiteral("\"Account\", \"MKind\", \"Money\"");
    if (shared)
        selectList += QLatin1Char(',') + RecordColumns();
    const int columns = int(m_set.Columns().size());
    m_shownAccounts.clear();
    m_set.ForEachInOrder(selectList,
                         [&](const SqlStatement &row) {
                             const QString account = TextOfValue(row.Value(0));
                             auto balance = cents.find(account);
                             if (balance == cents.end()) {
                                 accounts << account;
                                 balance = cents.insert(account, 0);
                             }
                             if (TextOfValue(row.Value(1)) == currency)
                                 *balance += shownCents(row.Value(2));
                             if (shared)
                                 m_shownAccounts[account] += RecordVersion(ReadRecord(row, 3, columns));
                         });
    m_balanceList.clear();
    for (const QString &account : std::as_const(accounts))
        m_balanceList << account << FormatDouble("%.2f", double(cents.value(account)) / 100.0);
}

QString CCurrentBook::RecordColumns()
{
    QStringList names;
    for (const ColumnInfo &column : m_set.Columns())
        names << KeysetQuery::Quoted(column.name);
    return names.join(QLatin1Char(','));
}

SqlRow CCurrentBook::ReadRecord(const SqlStatement &row, int first, int columns)
{
    SqlRow record;
    record.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c)
        record.push_back(row.Value(first + c));
    return record;
}

void CCurrentBook::CloseAccount(const QString &account)
{
    ChangeBatch batch(*this);
    const QString condition = QStringLiteral("Account=") + QuoteFilterText(account);
    if (!m_set.IsOpen() || !m_set.Connection().IsShared()) {
        CommitDeleteMatching(condition);
        return;
    }
    const auto shown = m_shownAccounts.constFind(account);
    const std::optional<quint64> shownVersions = shown == m_shownAccounts.constEnd() ? std::nullopt : std::optional(*shown);
    try {
        CommitDeleteMatching(condition, [&] {
            // Locked until the commit: a second computer closing the account waits, then finds none.
            SqlConnection &db = m_set.Connection();
            SqlStatement read = db.Prepare(QStringLiteral("SELECT ") + RecordColumns()
                                           + QStringLiteral(" FROM \"Current\" WHERE \"Account\" = ?") + db.RowLockClause());
            read.Bind(1, account);
            const int columns = int(m_set.Columns().size());
            quint64 versions = 0;
            qint64 records = 0;
            while (read.Step()) {
                versions += RecordVersion(ReadRecord(read, 0, columns));
                ++records;
            }
            if (records == 0)
                throw RecordChangedElsewhere(RecordChangedElsewhere::How::Deleted,
                                             QStringLiteral("帐户 %1 已由另一台电脑销户，它的记录都已删除。").arg(account));
            if (shownVersions && versions != *shownVersions)
                throw RecordChangedElsewhere(RecordChangedElsewhere::How::Changed,
                                             QStringLiteral("帐户 %1 的记录已被另一台电脑改动，没有销户。"
                                                            "余额已按帐本现在的记录重新计算，请核对后再销户。")
                                                 .arg(account));
        });
    } catch (const RecordChangedElsewhere &) {
        // Rolled back. The list is read again, the other computer's records with it.
        const QString sort = m_set.m_strSort;
        m_set.Close();
        FillRows(sort);
        ReadTotals();
        throw;
    }
}
