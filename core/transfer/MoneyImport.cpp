// Bills and spreadsheets read, mapped and matched before they become income and expense.
#include "MoneyImport.h"

#include "common/Gbk.h"
#include "entry/ItemChoice.h"
#include "transfer/Csv.h"
#include "transfer/Interchange.h"
#include "transfer/XlsxReader.h"

#include <QHash>
#include <QSet>

namespace {

QString ItemKey(const QString &name, bool income)
{
    return (income ? QLatin1Char('1') : QLatin1Char('0')) + name;
}

// The list's item a bill's trade type most likely is: one whose name holds the other ("餐饮美食",
// 餐饮) or shares two characters with it ("日用百货", 日用品); else the list's 其他… item; else its first.
QString LikelyItem(const QString &name, const QStringList &choices)
{
    QString best;
    int bestShared = 1;
    for (const QString &choice : choices) {
        int shared = 0;
        if (!name.isEmpty() && choice.size() >= 2 && (name.contains(choice) || choice.contains(name))) {
            shared = 1000 + int(choice.size());
        } else {
            for (const QChar c : choice)
                shared += !c.isSpace() && name.contains(c) ? 1 : 0;
        }
        if (shared > bestShared) {
            best = choice;
            bestShared = shared;
        }
    }
    if (!best.isEmpty())
        return best;
    for (const QString &choice : choices) {
        if (choice.startsWith(QStringLiteral("其他")) || choice.startsWith(QStringLiteral("其它")))
            return choice;
    }
    return choices.value(0);
}

} // namespace

CMoneyImport::CMoneyImport(const QStringList &itemEntries, const QStringList &members)
    : m_itemEntries(itemEntries), m_members(members)
{
    for (const QString &entry : m_itemEntries) {
        const ItemChoice choice = ParseItemChoice(entry);
        QStringList &names = choice.income ? m_incomeNames : m_expenseNames;
        if (!names.contains(choice.name))
            names << choice.name;
    }
}

bool CMoneyImport::Load(const QByteArray &bytes, const ImportProgress &progress, const QString &sheet, const QString &fileName)
{
    m_loadProblem.clear();
    m_leftOutRecords.clear();
    if (LooksLikeZip(bytes)) {
        XlsxTable workbook = ReadXlsx(bytes, sheet);
        m_encoding = QStringLiteral("Excel 工作簿");
        if (!workbook.error.isEmpty()) {
            m_loadProblem = workbook.error;
            return false;
        }
        m_sheets = workbook.sheets;
        m_sheetRead = sheet.isEmpty() ? m_sheets.value(0) : sheet;
        m_records = std::move(workbook.rows);
        m_complete = true;
    } else if (InterchangeTable::Kind kind = InterchangeKindOf(bytes);
               kind != InterchangeTable::Kind::None || (kind = InterchangeKindOfName(fileName)) != InterchangeTable::Kind::None) {
        InterchangeTable table = ReadInterchange(bytes, kind);
        m_encoding = kind == InterchangeTable::Kind::Qif ? QStringLiteral("QIF 文件") : QStringLiteral("OFX 对账单");
        if (!table.error.isEmpty()) {
            m_loadProblem = table.error;
            return false;
        }
        m_records = std::move(table.rows);
        m_complete = true;
    } else {
        const CsvText text = DecodeCsvBytes(bytes);
        if (!text.isText)
            return false;
        m_encoding = text.encoding;
        m_records = ParseCsv(text.text, &m_complete);
    }
    BillLayout layout;
    if (!FindKnownLayout(&layout))
        layout = GuessBillLayout(m_records);
    SetLayout(layout, progress);
    return true;
}

bool CMoneyImport::FindKnownLayout(BillLayout *layout) const
{
    if (m_knownLayouts.isEmpty())
        return false;
    constexpr int kLookedAt = 40;  // as far as a header is looked for
    for (int r = 0; r < m_records.size() && r < kLookedAt; ++r) {
        QStringList titles;
        for (const QString &title : m_records.at(r))
            titles << title.trimmed();
        for (const KnownLayout &known : m_knownLayouts) {
            if (known.titles != titles)
                continue;
            // The bill's own period read from its title block, the rest as kept.
            *layout = known.layout;
            layout->headerRow = r;
            layout->dates.periodStart = GuessColumnsAt(m_records, r).dates.periodStart;
            layout->dates.periodEnd = GuessColumnsAt(m_records, r).dates.periodEnd;
            return true;
        }
    }
    return false;
}

CMoneyImport::KnownLayout CMoneyImport::LayoutToKeep() const
{
    KnownLayout keep;
    if (m_layout.headerRow < 0 || m_layout.headerRow >= m_records.size())
        return keep;
    for (const QString &title : m_records.at(m_layout.headerRow))
        keep.titles << title.trimmed();
    keep.layout = m_layout;
    // A layout the guess gives alike (its header line found, its columns the same) need not be kept:
    // marked by no header row.
    const BillLayout guess = GuessBillLayout(m_records);
    if (guess.headerRow == m_layout.headerRow && BillLayoutText(guess) == BillLayoutText(m_layout))
        keep.layout.headerRow = -1;
    return keep;
}

QString CMoneyImport::LoadFailure(const QString &shownFile) const
{
    if (m_loadProblem.isEmpty())
        return QStringLiteral("文件 %1 不是文本表格，无法导入。").arg(shownFile);
    return QStringLiteral("文件 %1 不是可以读取的 %2：%3。").arg(shownFile, m_encoding, m_loadProblem);
}

void CMoneyImport::SetLayout(const BillLayout &layout, const ImportProgress &progress)
{
    m_layout = layout;
    ReadRows(progress);
}

void CMoneyImport::ReadRows(const ImportProgress &progress)
{
    m_rows.clear();
    if (m_layout.headerRow >= 0) {
        m_rows.reserve(size_t(std::max<qsizetype>(0, m_records.size() - m_layout.headerRow - 1)));
        const qsizetype first = m_layout.headerRow + 1;
        bool pastTable = false;  // a dashed line after the records: what follows is the bill's closing words
        for (qsizetype r = first; r < m_records.size(); ++r) {
            TellImportProgress(progress, r - first, m_records.size() - first);
            m_rows.push_back(ReadBillRow(m_records.at(r), m_layout));
            BillRow &read = m_rows.back();
            if (!m_complete && r == m_records.size() - 1) {
                // Every line after the open quote is in this one record: none of it is taken as read.
                read = BillRow();
                read.kind = BillRow::Kind::Refused;
                read.reason = QStringLiteral("引号没有闭合，本行及文件其后的内容无法读取");
            }
            const bool dashed = m_records.at(r).join(QString()).trimmed().startsWith(QStringLiteral("---"));
            pastTable = pastTable || (dashed && r > first);
            if (pastTable && read.kind == BillRow::Kind::Refused
                && m_records.at(r).size() < m_records.at(m_layout.headerRow).size()) {
                read = BillRow();
                read.kind = BillRow::Kind::Skipped;
                read.reason = QStringLiteral("账单末尾的说明");
            }
        }
        SettleRefunds(m_rows, first + 1);
        if (m_layout.preset == BillPreset::Ofx)
            SkipRepeatedTrades(m_rows, first + 1);
    }
    m_duplicate.assign(m_rows.size(), false);
    m_leftOut.assign(m_rows.size(), false);
    for (size_t r = 0; r < m_rows.size(); ++r)
        m_leftOut[r] = m_rows[r].kind == BillRow::Kind::Record && m_leftOutRecords.contains(FileRecordOf(qsizetype(r)));
    FindStrangers();
}

const QString *CMoneyImport::RuledItem(const BillRow &row) const
{
    if (row.counterparty.isEmpty())
        return nullptr;
    const bool income = row.amount > 0;
    const auto ruled = m_ruleItems.constFind(ItemKey(row.counterparty, income));
    return ruled != m_ruleItems.cend() && (income ? m_incomeNames : m_expenseNames).contains(*ruled) ? &*ruled : nullptr;
}

const QString *CMoneyImport::RuledMember(const BillRow &row) const
{
    if (row.counterparty.isEmpty())
        return nullptr;
    const auto ruled = m_ruleMembers.constFind(ItemKey(row.counterparty, row.amount > 0));
    return ruled != m_ruleMembers.cend() && m_members.contains(*ruled) ? &*ruled : nullptr;
}

void CMoneyImport::FindStrangers()
{
    m_strangeItems.clear();
    m_strangeMembers.clear();
    m_strangeItemAt.clear();
    m_strangeMemberAt.clear();
    m_rules.clear();
    QSet<QString> knownItems;
    for (const QString &name : m_incomeNames)
        knownItems.insert(ItemKey(name, true));
    for (const QString &name : m_expenseNames)
        knownItems.insert(ItemKey(name, false));
    const QSet<QString> knownMembers(m_members.begin(), m_members.end());
    QHash<QString, qsizetype> &memberAt = m_strangeMemberAt;
    QHash<QString, qsizetype> ruleAt;
    for (const BillRow &row : m_rows) {
        if (row.kind != BillRow::Kind::Record)
            continue;
        const bool income = row.amount > 0;
        const QString *ruledItem = RuledItem(row);
        const QString *ruledMember = RuledMember(row);
        if (ruledItem || ruledMember) {
            const QString key = ItemKey(row.counterparty, income);
            auto at = ruleAt.find(key);
            if (at == ruleAt.end()) {
                at = ruleAt.insert(key, m_rules.size());
                m_rules.append({row.counterparty, income, ruledItem ? *ruledItem : QString(), ruledMember ? *ruledMember : QString(), 0});
            }
            ++m_rules[*at].rows;
        }
        const QString key = ItemKey(row.item, income);
        if (!ruledItem && !knownItems.contains(key)) {
            auto at = m_strangeItemAt.find(key);
            if (at == m_strangeItemAt.end()) {
                const QStringList &choices = income ? m_incomeNames : m_expenseNames;
                QString mapped = m_itemMap.value(key);
                if (!choices.contains(mapped))
                    mapped = LikelyItem(row.item, choices);
                m_itemMap.insert(key, mapped);
                at = m_strangeItemAt.insert(key, m_strangeItems.size());
                m_strangeItems.append({row.item, income, 0, mapped});
            }
            ++m_strangeItems[*at].rows;
        }
        if (!ruledMember && !knownMembers.contains(row.member)) {
            auto at = memberAt.find(row.member);
            if (at == memberAt.end()) {
                QString mapped = m_memberMap.value(row.member);
                if (!m_members.contains(mapped))
                    mapped = m_members.value(0);
                m_memberMap.insert(row.member, mapped);
                at = memberAt.insert(row.member, m_strangeMembers.size());
                m_strangeMembers.append({row.member, false, 0, mapped});
            }
            ++m_strangeMembers[*at].rows;
        }
    }
}

qsizetype CMoneyImport::StrangeItemOf(qsizetype row) const
{
    const BillRow &read = Row(row);
    return m_strangeItemAt.value(ItemKey(read.item, read.amount > 0), -1);
}

bool CMoneyImport::RuleRow(qsizetype row, const QString &item, const QString &member)
{
    const BillRow &read = Row(row);
    if (read.kind != BillRow::Kind::Record || read.counterparty.isEmpty())
        return false;
    const bool income = read.amount > 0;
    if ((!item.isEmpty() && !ItemNames(income).contains(item)) || (!member.isEmpty() && !m_members.contains(member)))
        return false;
    const QString key = ItemKey(read.counterparty, income);
    if (item.isEmpty() && member.isEmpty()) {
        m_ruleItems.remove(key);
        m_ruleMembers.remove(key);
        m_droppedRules.insert(key);
    } else {
        m_droppedRules.remove(key);
        if (item.isEmpty())
            m_ruleItems.remove(key);
        else
            m_ruleItems.insert(key, item);
        if (member.isEmpty())
            m_ruleMembers.remove(key);
        else
            m_ruleMembers.insert(key, member);
    }
    FindStrangers();
    return true;
}

void CMoneyImport::ChangeRule(qsizetype rule, const QString &item, const QString &member)
{
    const Rule changed = m_rules.value(rule);
    for (qsizetype r = 0; r < RowCount(); ++r) {
        const BillRow &read = Row(r);
        if (read.kind == BillRow::Kind::Record && read.counterparty == changed.counterparty && (read.amount > 0) == changed.income) {
            RuleRow(r, item, member);
            return;
        }
    }
}

CMoneyImport::Rule CMoneyImport::RuleOf(qsizetype row) const
{
    const BillRow &read = Row(row);
    const QString *item = RuledItem(read);
    const QString *member = RuledMember(read);
    return {read.counterparty, read.amount > 0, item ? *item : QString(), member ? *member : QString(), 0};
}

qsizetype CMoneyImport::StrangeMemberOf(qsizetype row) const
{
    return m_strangeMemberAt.value(Row(row).member, -1);
}

void CMoneyImport::DropRule(qsizetype rule)
{
    ChangeRule(rule, QString(), QString());
}

void CMoneyImport::RememberRules(const QHash<QString, QString> &items, const QHash<QString, QString> &members)
{
    m_ruleItems.insert(items);
    m_ruleMembers.insert(members);
}

void CMoneyImport::LeaveOut(qsizetype row, bool out)
{
    if (Row(row).kind != BillRow::Kind::Record)
        return;
    m_leftOut[size_t(row)] = out;
    if (out)
        m_leftOutRecords.insert(FileRecordOf(row));
    else
        m_leftOutRecords.remove(FileRecordOf(row));
}

bool CMoneyImport::IsWritten(qsizetype row, bool keepDuplicates) const
{
    return m_rows[size_t(row)].kind == BillRow::Kind::Record && !m_leftOut[size_t(row)]
           && (keepDuplicates || !m_duplicate[size_t(row)]);
}

void CMoneyImport::RememberMappings(const QHash<QString, QString> &items, const QHash<QString, QString> &members)
{
    m_itemMap.insert(items);
    m_memberMap.insert(members);
}

QHash<QString, QString> CMoneyImport::ItemMappings() const
{
    QHash<QString, QString> mappings;
    for (const Stranger &item : m_strangeItems)
        mappings.insert(ItemKey(item.name, item.income), item.mappedTo);
    return mappings;
}

QHash<QString, QString> CMoneyImport::MemberMappings() const
{
    QHash<QString, QString> mappings;
    for (const Stranger &member : m_strangeMembers)
        mappings.insert(member.name, member.mappedTo);
    return mappings;
}

void CMoneyImport::MapItem(qsizetype stranger, const QString &item)
{
    Stranger &s = m_strangeItems[stranger];
    if (!ItemNames(s.income).contains(item))
        return;  // only an entry of the list, of the item's kind
    s.mappedTo = item;
    m_itemMap.insert(ItemKey(s.name, s.income), item);
}

void CMoneyImport::MapMember(qsizetype stranger, const QString &member)
{
    if (!m_members.contains(member))
        return;
    m_strangeMembers[stranger].mappedTo = member;
    m_memberMap.insert(m_strangeMembers[stranger].name, member);
}

QString CMoneyImport::Problem() const
{
    for (const Stranger &item : m_strangeItems) {
        if (item.mappedTo.isEmpty())
            return item.income ? QStringLiteral("收支项目中没有收入项目，请先在设置中添加")
                               : QStringLiteral("收支项目中没有支出项目，请先在设置中添加");
    }
    for (const Stranger &member : m_strangeMembers) {
        if (member.mappedTo.isEmpty())
            return QStringLiteral("还没有家庭成员，请先添加");
    }
    return QString();
}

QString CMoneyImport::MappedItem(const BillRow &row) const
{
    if (const QString *ruled = RuledItem(row))
        return *ruled;
    const QString key = ItemKey(row.item, row.amount > 0);
    const auto mapped = m_itemMap.constFind(key);
    return mapped == m_itemMap.constEnd() ? row.item : *mapped;
}

QString CMoneyImport::MappedMember(const BillRow &row) const
{
    if (const QString *ruled = RuledMember(row))
        return *ruled;
    const auto mapped = m_memberMap.constFind(row.member);
    return mapped == m_memberMap.constEnd() ? row.member : *mapped;
}

MoneyEntry CMoneyImport::EntryOf(qsizetype row) const
{
    const BillRow &read = Row(row);
    return {read.date, MappedItem(read), read.amount, MappedMember(read), CutToGbkBytes(read.note, CMoneyBook::kNoteBytes)};
}

QString CMoneyImport::NoteWarning(qsizetype row) const
{
    const QString &note = Row(row).note;
    // Only the part kept is looked at: a cut that drops the unreadable characters leaves none written.
    const QString kept = CutToGbkBytes(note, CMoneyBook::kNoteBytes);
    QStringList told;
    if (kept.contains(QChar::ReplacementCharacter))
        told << QStringLiteral("备注含无法识别的字符");
    if (kept.size() < note.size())
        told << QStringLiteral("备注过长，已截断为 %1 字节").arg(CMoneyBook::kNoteBytes);
    return told.join(QStringLiteral("；"));
}

qsizetype CMoneyImport::NotesTold(bool keepDuplicates) const
{
    qsizetype told = 0;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (IsWritten(qsizetype(r), keepDuplicates) && !NoteWarning(qsizetype(r)).isEmpty())
            ++told;
    }
    return told;
}

void CMoneyImport::MatchExisting(SqlConnection &db, const ImportProgress &progress)
{
    std::vector<MoneyEntry> entries;
    std::vector<bool> wholeDay;
    std::vector<size_t> rowOf;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].kind == BillRow::Kind::Record) {
            entries.push_back(EntryOf(qsizetype(r)));
            wholeDay.push_back(m_rows[r].dayOnly);
            rowOf.push_back(r);
        }
    }
    const std::vector<bool> matched = MatchExistingRecords(db, entries, wholeDay, progress);
    m_duplicate.assign(m_rows.size(), false);
    for (size_t i = 0; i < matched.size(); ++i)
        m_duplicate[rowOf[i]] = matched[i];
}

CMoneyImport::Counts CMoneyImport::Count() const
{
    Counts counts;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        switch (m_rows[r].kind) {
        case BillRow::Kind::Record:
            if (m_leftOut[r])
                ++counts.leftOut;
            else if (m_duplicate[r])
                ++counts.duplicates;
            else
                ++counts.records;
            break;
        case BillRow::Kind::Skipped: ++counts.skipped; break;
        case BillRow::Kind::Refused: ++counts.refused; break;
        }
    }
    return counts;
}

std::vector<MoneyEntry> CMoneyImport::EntriesToWrite(bool keepDuplicates) const
{
    std::vector<MoneyEntry> entries;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (IsWritten(qsizetype(r), keepDuplicates))
            entries.push_back(EntryOf(qsizetype(r)));
    }
    return entries;
}
