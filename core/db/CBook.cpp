// Rows, selection and search common to the books.
#include "CBook.h"

#include "common/Messages.h"

#include <QHash>
#include <QSet>
#include <algorithm>

CBook::CBook(int columnCount) : m_columnCount(columnCount) {}

CBook::~CBook() = default;

void CBook::LoadTexts(int row) const
{
    // Reads the texts of a block of rows around the one asked for, so a view scrolling through a
    // long list costs one query per block.
    constexpr int kBefore = 5;
    constexpr int kBlock = 30;
    const int first = std::max(0, row - kBefore);
    const int last = std::min(int(m_rows.size()), first + kBlock);
    auto *self = const_cast<CBook *>(this);
    CRecordSet &set = self->RecordSet();
    if (!set.IsOpen())
        return;
    if (m_rows[size_t(first)].id == 0 || m_rows[size_t(last - 1)].id == 0) {
        const std::vector<qint64> positioned = set.IdsAt(first, last - first);
        for (size_t i = 0; i < positioned.size(); ++i) {
            if (m_rows[size_t(first) + i].id == 0)
                m_rows[size_t(first) + i].id = positioned[i];
        }
    }
    std::vector<qint64> ids;
    QHash<qint64, int> rowOfId;
    for (int r = first; r < last; ++r) {
        if (!m_rows[size_t(r)].loaded) {
            ids.push_back(m_rows[size_t(r)].id);
            rowOfId.insert(m_rows[size_t(r)].id, r);
        }
    }
    set.ForEachById(ids, [&](qint64 id) {
        const auto found = rowOfId.constFind(id);
        if (found == rowOfId.constEnd())
            return;
        Row &target = m_rows[size_t(found.value())];
        target.texts = self->RecordTexts();
        target.loaded = true;
    });
    // A record deleted behind the book's back shows empty texts rather than being read again and again.
    for (int r = first; r < last; ++r) {
        Row &target = m_rows[size_t(r)];
        if (!target.loaded) {
            target.texts = QStringList();
            target.loaded = true;
        }
    }
}

void CBook::LoadAllTexts() const
{
    for (int row = 0; row < int(m_rows.size()); ++row) {
        if (!m_rows[size_t(row)].loaded)
            LoadTexts(row + 5);
    }
}

QString CBook::GetItemText(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return QString();
    if (!m_rows[size_t(row)].loaded)
        LoadTexts(row);
    return m_rows[size_t(row)].texts.value(column);
}

QStringList CBook::GetRowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < m_columnCount; ++column)
        texts.append(GetItemText(row, column));
    return texts;
}

qint64 CBook::GetItemData(int row) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return 0;
    if (m_rows[size_t(row)].id == 0)
        LoadTexts(row);
    return m_rows[size_t(row)].id;
}

void CBook::EnsureAllIds() const
{
    const auto unknown = std::find_if(m_rows.begin(), m_rows.end(), [](const Row &row) { return row.id == 0; });
    if (unknown == m_rows.end())
        return;
    auto *self = const_cast<CBook *>(this);
    CRecordSet &set = self->RecordSet();
    if (!set.IsOpen())
        return;
    const std::vector<qint64> ids = set.IdsAt(0, qint64(m_rows.size()));
    for (size_t i = 0; i < ids.size() && i < m_rows.size(); ++i) {
        if (m_rows[i].id == 0)
            m_rows[i].id = ids[i];
    }
}

void CBook::ListRowsByPosition(qint64 count)
{
    m_rows.assign(size_t(count), Row());
    if (m_listener)
        m_listener->RowsReset();
}

void CBook::SelectRow(int row)
{
    if (m_listener && row >= 0 && row < int(m_rows.size()))
        m_listener->SelectRequested(row);
}

void CBook::Close()
{
    CRecordSet &set = RecordSet();
    if (set.IsOpen())
        set.Close();
}

void CBook::FillRows(const QString &sort)
{
    CRecordSet &set = RecordSet();
    set.m_strSort = sort;
    if (!set.IsOpen())
        set.Open();
    const long count = set.GetRecordCount();
    if (count == 0)
        return;  // an empty table leaves the list as it was
    ListRowsByPosition(count);
    m_nSelected = -1;
}

void CBook::ResetRows(const std::vector<qint64> &ids)
{
    m_rows.clear();
    m_rows.reserve(ids.size());
    for (qint64 id : ids)
        m_rows.push_back({id, QStringList(), false});
    if (m_listener)
        m_listener->RowsReset();
}

int CBook::AppendRow(qint64 id, const QStringList &texts)
{
    m_rows.push_back({id, texts, true});
    const int row = int(m_rows.size()) - 1;
    if (m_listener)
        m_listener->RowInserted(row);
    return row;
}

void CBook::SetRowTexts(int row, const QStringList &texts)
{
    Row &target = m_rows.at(size_t(row));
    target.texts = texts;
    target.loaded = true;
    if (m_listener)
        m_listener->RowChanged(row);
}

void CBook::SetRowText(int row, int column, const QString &text)
{
    QStringList texts = GetRowTexts(row);
    texts[column] = text;
    SetRowTexts(row, texts);
}

void CBook::DeleteRow(int row)
{
    m_rows.erase(m_rows.begin() + row);
    if (m_listener)
        m_listener->RowRemoved(row);
}

void CBook::DeleteAllRows()
{
    m_rows.clear();
    if (m_listener)
        m_listener->RowsReset();
}

void CBook::DeleteRecordsOf(const QString &filter, const std::function<void()> &each)
{
    CRecordSet &set = RecordSet();
    QSet<qint64> deleted;
    WithFilter(filter, [&] {
        SqlTransaction transaction(set.Connection());
        set.MoveFirst();
        while (!set.IsEOF()) {
            each();
            deleted.insert(set.CurrentId());
            set.Delete();
            set.MoveNext();
        }
        transaction.Commit();
    }, Changes::Records);
    for (int row = GetItemCount() - 1; row >= 0; --row) {
        if (deleted.contains(GetItemData(row)))
            DeleteRow(row);
    }
    m_nSelected = -1;
}

bool CBook::TellIfClosed()
{
    if (RecordSet().IsOpen())
        return false;
    ShowMessage(QStringLiteral("记录集没有打开"), QStringLiteral("错误"));
    return true;
}

bool CBook::FindSelectedRecord()
{
    if (m_nSelected < 0 || m_nSelected >= GetItemCount())
        return false;
    // Every change starts here: rows still listed by position learn their IDs before the set changes.
    EnsureAllIds();
    return RecordSet().FindFirst(QStringLiteral("ID=%1").arg(GetItemData(m_nSelected)));
}

bool CBook::RemoveSelected(const std::function<void()> &takeOutOfTotals)
{
    const int removed = m_nSelected;
    const int rowsBefore = GetItemCount();
    if (!FindSelectedRecord())
        return GetItemCount() > 0;
    RecordSet().Delete();
    if (takeOutOfTotals)
        takeOutOfTotals();
    DeleteRow(removed);
    return ReselectAfterRemove(removed, rowsBefore);
}

bool CBook::ReselectAfterRemove(int removedRow, int rowCountBefore)
{
    if (RecordSet().GetRecordCount() == 0 || GetItemCount() == 0) {
        m_nSelected = -1;
        return RecordSet().GetRecordCount() > 0;
    }
    int row = removedRow == rowCountBefore - 1 ? removedRow - 1 : removedRow;
    row = std::min(row, GetItemCount() - 1);
    m_nSelected = row;
    SelectRow(row);
    return true;
}

void CBook::CollectDistinct(const std::function<QString()> &entry, QStringList *list)
{
    CRecordSet &set = RecordSet();
    if (!set.IsOpen())
        set.Open();
    QSet<QString> known(list->begin(), list->end());
    set.ForEachById(set.AllIds(), [&](qint64) {
        const QString text = entry();
        if (!known.contains(text)) {
            known.insert(text);
            list->append(text);
        }
    });
}

bool CBook::FindText(int column, const QString &text)
{
    if (GetItemCount() == 0) {
        ShowMessage(QStringLiteral("记录集为空"), QStringLiteral("错误"));
        return false;
    }
    m_findResults.clear();
    LoadAllTexts();
    for (int row = 0; row < GetItemCount(); ++row) {
        if (GetItemText(row, column) == text)
            m_findResults.push_back(QString::number(row));
    }
    if (m_findResults.empty()) {
        ShowMessage(QStringLiteral("没有匹配的记录"), QStringLiteral("查找"));
        return false;
    }
    return FindNext();
}

bool CBook::FindNext()
{
    if (m_findResults.empty())
        return false;
    m_nSelected = m_findResults.front().toInt();
    SelectRow(m_nSelected);
    m_findResults.pop_front();
    return !m_findResults.empty();
}
