// Bills and spreadsheets read, mapped and matched before they become income and expense.
#include "MoneyImport.h"

#include "common/Gbk.h"
#include "entry/ItemChoice.h"
#include "transfer/Csv.h"
#include "transfer/XlsxReader.h"

#include <QHash>
#include <QSet>

namespace {

QString ItemKey(const QString &name, bool income)
{
    return (income ? QLatin1Char('1') : QLatin1Char('0')) + name;
}

} // namespace

CMoneyImport::CMoneyImport(const QStringList &itemEntries, const QStringList &members)
    : m_itemEntries(itemEntries), m_members(members)
{
}

bool CMoneyImport::Load(const QByteArray &bytes, const ImportProgress &progress, const QString &sheet)
{
    m_loadProblem.clear();
    if (LooksLikeZip(bytes)) {
        XlsxTable workbook = ReadXlsx(bytes, sheet);
        if (!workbook.error.isEmpty()) {
            m_loadProblem = workbook.error;
            return false;
        }
        m_sheets = workbook.sheets;
        m_sheetRead = sheet.isEmpty() ? m_sheets.value(0) : sheet;
        m_encoding = QStringLiteral("Excel 工作簿");
        m_records = std::move(workbook.rows);
        m_complete = true;
    } else {
        const CsvText text = DecodeCsvBytes(bytes);
        if (!text.isText)
            return false;
        m_encoding = text.encoding;
        m_records = ParseCsv(text.text, &m_complete);
    }
    SetLayout(GuessBillLayout(m_records), progress);
    return true;
}

QString CMoneyImport::LoadFailure(const QString &shownFile) const
{
    if (m_loadProblem.isEmpty())
        return QStringLiteral("文件 %1 不是文本表格，无法导入。").arg(shownFile);
    return QStringLiteral("文件 %1 不是可以读取的 Excel 工作簿：%2。").arg(shownFile, m_loadProblem);
}

void CMoneyImport::SetLayout(const BillLayout &layout, const ImportProgress &progress)
{
    m_layout = layout;
    ReadRows(progress);
}

QStringList CMoneyImport::ItemNames(bool income) const
{
    QStringList names;
    for (const QString &entry : m_itemEntries) {
        const ItemChoice choice = ParseItemChoice(entry);
        if (choice.income == income && !names.contains(choice.name))
            names << choice.name;
    }
    return names;
}

void CMoneyImport::ReadRows(const ImportProgress &progress)
{
    m_rows.clear();
    m_strangeItems.clear();
    m_strangeMembers.clear();
    if (m_layout.headerRow < 0) {
        m_duplicate.clear();
        return;
    }
    QSet<QString> knownItems;
    for (const QString &entry : m_itemEntries) {
        const ItemChoice choice = ParseItemChoice(entry);
        knownItems.insert(ItemKey(choice.name, choice.income));
    }
    const QSet<QString> knownMembers(m_members.begin(), m_members.end());
    const QStringList incomeNames = ItemNames(true), expenseNames = ItemNames(false);
    QHash<QString, qsizetype> itemAt, memberAt;

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
        if (pastTable && read.kind == BillRow::Kind::Refused && m_records.at(r).size() < m_records.at(m_layout.headerRow).size()) {
            read = BillRow();
            read.kind = BillRow::Kind::Skipped;
            read.reason = QStringLiteral("账单末尾的说明");
        }
    }
    SettleRefunds(m_rows, first + 1);
    for (const BillRow &row : m_rows) {
        if (row.kind != BillRow::Kind::Record)
            continue;
        const bool income = row.amount > 0;
        const QString key = ItemKey(row.item, income);
        if (!knownItems.contains(key)) {
            auto at = itemAt.find(key);
            if (at == itemAt.end()) {
                const QStringList &choices = income ? incomeNames : expenseNames;
                QString mapped = m_itemMap.value(key);
                if (!choices.contains(mapped))
                    mapped = choices.value(0);
                m_itemMap.insert(key, mapped);
                at = itemAt.insert(key, m_strangeItems.size());
                m_strangeItems.append({row.item, income, 0, mapped});
            }
            ++m_strangeItems[*at].rows;
        }
        if (!knownMembers.contains(row.member)) {
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
    m_duplicate.assign(m_rows.size(), false);
}

void CMoneyImport::RememberMappings(const QHash<QString, QString> &items, const QHash<QString, QString> &members)
{
    m_itemMap.insert(items);
    m_memberMap.insert(members);
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
    const QString key = ItemKey(row.item, row.amount > 0);
    const auto mapped = m_itemMap.constFind(key);
    return mapped == m_itemMap.constEnd() ? row.item : *mapped;
}

QString CMoneyImport::MappedMember(const BillRow &row) const
{
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
        if (m_rows[r].kind == BillRow::Kind::Record && (keepDuplicates || !m_duplicate[r])
            && !NoteWarning(qsizetype(r)).isEmpty())
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
            if (m_duplicate[r])
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
        if (m_rows[r].kind == BillRow::Kind::Record && (keepDuplicates || !m_duplicate[r]))
            entries.push_back(EntryOf(qsizetype(r)));
    }
    return entries;
}
