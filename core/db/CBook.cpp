// Rows, selection, search and the write path common to the books.
#include "CBook.h"

#include "common/Messages.h"
#include "db/DbError.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>
#include <tuple>

CBook::CBook(int columnCount) : m_columnCount(columnCount) {}

CBook::~CBook() = default;

void CBook::AddListener(IBookListener *listener)
{
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void CBook::RemoveListener(IBookListener *listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

CBook::ChangeBatch::~ChangeBatch()
{
    if (--m_book.m_batchDepth == 0 && m_book.m_changed)
        m_book.TellChanged();
}

void CBook::MarkChanged()
{
    m_changed = true;
    if (m_batchDepth == 0)
        TellChanged();
}

void CBook::TellChanged()
{
    m_changed = false;
    // A listener may add or remove listeners while it is told: the ones of the moment are told.
    const std::vector<IBookListener *> listeners = m_listeners;
    for (IBookListener *listener : listeners)
        listener->BookChanged();
}

void CBook::LoadTexts(int row) const
{
    // Reads the texts of a block of rows around the one asked for, so a view scrolling through a
    // long list costs one query per block. Every row knows its record, so the block can be anywhere.
    constexpr int kBefore = 5;
    constexpr int kBlock = 30;
    const int first = std::max(0, row - kBefore);
    const int last = std::min(int(m_rows.size()), first + kBlock);
    auto *self = const_cast<CBook *>(this);
    CRecordSet &set = self->RecordSet();
    if (!set.IsOpen())
        return;
    if (size_t(last) > m_knownIds)
        EnsureAllIds();
    std::vector<qint64> ids;
    QHash<qint64, int> rowOfId;
    for (int r = first; r < last; ++r) {
        if (!m_rows[size_t(r)].loaded) {
            ids.push_back(m_rows[size_t(r)].id);
            rowOfId.insert(m_rows[size_t(r)].id, r);
        }
    }
    QHash<qint64, std::pair<QStringList, quint64>> read;
    set.ForEachById(ids, [&](qint64 id) { read.insert(id, {self->RecordTexts(), set.VisitedVersion()}); });
    // A record deleted behind the book's back shows empty texts rather than being read again and again.
    for (int r = first; r < last; ++r) {
        Row &target = m_rows[size_t(r)];
        if (!target.loaded) {
            std::tie(target.texts, target.version) = read.value(target.id);
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
    if (size_t(row) >= m_knownIds)
        EnsureAllIds();
    return m_rows[size_t(row)].id;
}

void CBook::EnsureAllIds() const
{
    if (m_knownIds >= m_rows.size())
        return;
    auto *self = const_cast<CBook *>(this);
    CRecordSet &set = self->RecordSet();
    if (!set.IsOpen())
        return;
    const std::vector<qint64> ids = set.AllIds();
    bool same = ids.size() == m_rows.size();
    for (size_t i = 0; same && i < m_knownIds; ++i)
        same = ids[i] == m_rows[i].id;
    if (!same) {
        self->ResetRows(ids);
        return;
    }
    for (size_t i = m_knownIds; i < ids.size(); ++i)
        m_rows[i].id = ids[i];
    m_knownIds = m_rows.size();
}

int CBook::RowOfId(qint64 id) const
{
    if (id == 0)
        return -1;
    EnsureAllIds();
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [id](const Row &row) { return row.id == id; });
    return found == m_rows.end() ? -1 : int(found - m_rows.begin());
}

void CBook::SetSelected(int row)
{
    // A row outside the list (a stale find, a page listed again) selects nothing, so no button can act
    // on a row that is not there.
    m_nSelected = row >= 0 && row < int(m_rows.size()) ? row : -1;
    Tell([&](IBookListener *listener) { listener->SelectionChanged(m_nSelected); });
    MarkChanged();
}

QList<QStringList> CBook::AllRowTexts()
{
    LoadAllTexts();
    QList<QStringList> rows;
    rows.reserve(GetItemCount());
    for (int row = 0; row < GetItemCount(); ++row)
        rows << GetRowTexts(row);
    return rows;
}

QList<ColumnKind> CBook::ColumnKinds() const
{
    return QList<ColumnKind>(m_columnCount, ColumnKind::Text);
}

void CBook::Close()
{
    CRecordSet &set = RecordSet();
    if (set.IsOpen())
        set.Close();
}

void CBook::FillRows(const QString &sort)
{
    ChangeBatch batch(*this);
    ForgetFinds();
    CRecordSet &set = RecordSet();
    set.m_strSort = sort;
    if (!set.IsOpen())
        set.Open();
    constexpr qint64 kFirstRows = 64;  // about two screens of a list
    const qint64 count = set.GetRecordCount();
    if (count == 0) {
        // Filled again from a table that is empty now (a restored ledger): no row stays.
        SetSelected(-1);
        if (GetItemCount() > 0)
            DeleteAllRows();
        return;
    }
    std::vector<qint64> ids = set.IdsAt(0, std::min(count, kFirstRows));
    const size_t known = ids.size();
    ids.resize(size_t(count), 0);
    ResetRows(ids);
    m_knownIds = known;
    SetSelected(-1);
}

void CBook::ResetRows(const std::vector<qint64> &ids, bool keepTexts)
{
    QHash<qint64, const Row *> known;
    for (const Row &row : m_rows) {
        if (keepTexts && row.loaded)
            known.insert(row.id, &row);
    }
    std::vector<Row> rows;
    rows.reserve(ids.size());
    for (qint64 id : ids) {
        const auto kept = known.constFind(id);
        rows.push_back(kept == known.constEnd() ? Row{id, QStringList(), false, 0} : *kept.value());
    }
    m_rows = std::move(rows);
    m_knownIds = m_rows.size();
    Tell([&](IBookListener *listener) { listener->RowsReset(); });
    MarkChanged();
}

int CBook::AppendRow(qint64 id, const QStringList &texts)
{
    EnsureAllIds();
    // Texts of a record the book just wrote: of the version it wrote.
    CRecordSet &set = RecordSet();
    const quint64 version = set.IsOpen() ? set.Connection().OwnVersion(set.TableName(), id).value_or(0) : 0;
    m_rows.push_back({id, texts, true, version});
    m_knownIds = m_rows.size();
    const int row = int(m_rows.size()) - 1;
    Tell([&](IBookListener *listener) { listener->RowInserted(row); });
    MarkChanged();
    return row;
}

int CBook::AppendRow(qint64 id)
{
    EnsureAllIds();
    m_rows.push_back({id, QStringList(), false, 0});
    m_knownIds = m_rows.size();
    const int row = int(m_rows.size()) - 1;
    Tell([&](IBookListener *listener) { listener->RowInserted(row); });
    MarkChanged();
    return row;
}

void CBook::SetRowTexts(int row, const QStringList &texts)
{
    Row &target = m_rows.at(size_t(row));
    target.texts = texts;
    target.loaded = true;
    Tell([&](IBookListener *listener) { listener->RowChanged(row); });
    MarkChanged();
}

void CBook::DeleteRow(int row)
{
    EnsureAllIds();
    m_rows.erase(m_rows.begin() + row);
    m_knownIds = m_rows.size();
    Tell([&](IBookListener *listener) { listener->RowRemoved(row); });
    MarkChanged();
}

void CBook::DeleteAllRows()
{
    m_rows.clear();
    m_knownIds = 0;
    Tell([&](IBookListener *listener) { listener->RowsReset(); });
    MarkChanged();
}

bool CBook::TellIfClosed()
{
    if (RecordSet().IsOpen())
        return false;
    ShowMessage(QStringLiteral("记录集没有打开"), QStringLiteral("错误"));
    return true;
}

void CBook::Commit(const std::function<void()> &work)
{
    ForgetFinds();  // whether or not the change is stored, the rows found before may have moved
    EnsureAllIds();  // the rows learn their records before the change can move them in the set
    const quint64 additions = RecordSet().AdditionsMade();
    try {
        SqlTransaction transaction(RecordSet().Connection());
        work();
        BeforeCommit(RecordSet().Connection());
        transaction.Commit();
    } catch (...) {
        // A value refused or a write failed half-way: rolled back, and the set leaves the edit it was in.
        // A record it added went with the transaction, and the next record added anywhere may get its ID.
        RecordSet().CancelUpdate();
        RecordSet().ForgetAdditionsSince(additions);
        throw;
    }
    // The change is stored: a failure to read the totals back must not make it look unsaved.
    try {
        ReadTotals();
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
    }
    MarkChanged();
}

bool CBook::FindSelectedRecord()
{
    if (GetSelected() < 0 || GetSelected() >= GetItemCount()) {
        ShowMessage(QStringLiteral("没有选中的记录"), QStringLiteral("错误"));
        return false;
    }
    const qint64 id = GetItemData(GetSelected());
    if (!RecordSet().FindFirst(QStringLiteral("ID=%1").arg(id))) {
        if (RecordSet().Connection().IsShared())
            ShowRowAsItIs(id);  // deleted, or taken out of the list, by another computer
        ShowMessage(QStringLiteral("所选的记录已不在帐目数据库中，没有保存任何改动。"), QStringLiteral("错误"));
        return false;
    }
    return true;
}

void CBook::GuardShownRecord(qint64 id, quint64 shown)
{
    CRecordSet &set = RecordSet();
    const quint64 now = set.LockCurrent();
    if (now == 0)
        throw RecordChangedElsewhere(RecordChangedElsewhere::How::Deleted);
    if (now == shown)
        return;
    // Changed since by this program itself, through this book or another: its own change, not a conflict.
    const std::optional<quint64> own = set.Connection().OwnVersion(set.TableName(), id);
    if (own && *own == now)
        return;
    // A row whose texts were never read showed nothing to keep.
    if (shown == 0 && !own)
        return;
    throw RecordChangedElsewhere(RecordChangedElsewhere::How::Changed);
}

void CBook::ShowRowAsItIs(qint64 id)
{
    CRecordSet &set = RecordSet();
    std::optional<std::pair<QStringList, quint64>> now;
    set.ForEachById({id}, [&](qint64) { now.emplace(RecordTexts(), set.VisitedVersion()); });
    const int row = RowOfId(id);
    if (!now) {
        if (row >= 0) {
            DeleteRow(row);
            SetSelected(-1);  // no neighbour takes the place of the record the dialog meant
        }
        if (set.Connection().OwnVersion(set.TableName(), id) == std::optional<quint64>(0))
            throw DbError(QStringLiteral("所选的记录已不在帐目数据库中，没有保存任何改动。"));
        throw RecordChangedElsewhere(RecordChangedElsewhere::How::Deleted);
    }
    if (row >= 0) {
        SetRowTexts(row, now->first);
        m_rows[size_t(row)].version = now->second;  // a write asked again now goes on from what was shown
    }
    throw RecordChangedElsewhere(RecordChangedElsewhere::How::Changed);
}

void CBook::CommitOnShown(int row, const std::function<void()> &work)
{
    CRecordSet &set = RecordSet();
    const qint64 id = GetItemData(row);
    const quint64 shown = m_rows.at(size_t(row)).version;
    const bool shared = set.Connection().IsShared();
    try {
        Commit([&] {
            if (shared)
                GuardShownRecord(id, shown);
            work();
        });
    } catch (const RecordChangedElsewhere &) {
        ShowRowAsItIs(id);  // rolled back: nothing of the change is kept
    }
    if (shared) {
        const bool stayed = row < GetItemCount() && m_rows[size_t(row)].id == id;
        const int written = stayed ? row : RowOfId(id);
        if (written >= 0)
            m_rows[size_t(written)].version = set.CurrentVersion();
    }
}

qint64 CBook::CommitAdd(const std::function<void()> &fill, const std::function<void()> &alsoWrite)
{
    ChangeBatch batch(*this);
    CRecordSet &set = RecordSet();
    Commit([&] {
        set.AddNew();
        fill();
        set.Update();
        if (alsoWrite)
            alsoWrite();
    });
    return set.LastAddedId();
}

bool CBook::CommitModify(const std::function<void()> &fill, const std::function<void()> &alsoWrite)
{
    ChangeBatch batch(*this);
    if (TellIfClosed() || !FindSelectedRecord())
        return false;
    CRecordSet &set = RecordSet();
    CommitOnShown(GetSelected(), [&] {
        set.Edit();
        fill();
        set.Update();
        if (alsoWrite)
            alsoWrite();
    });
    return true;
}

bool CBook::CommitRemove(const std::function<void()> &alsoWrite)
{
    ChangeBatch batch(*this);
    const int removed = GetSelected();
    const int rowsBefore = GetItemCount();
    if (TellIfClosed() || !FindSelectedRecord())
        return GetItemCount() > 0;
    CRecordSet &set = RecordSet();
    CommitOnShown(removed, [&] {
        if (alsoWrite)
            alsoWrite();
        set.Delete();
    });
    DeleteRow(removed);
    return ReselectAfterRemove(removed, rowsBefore);
}

void CBook::CommitDeleteMatching(const QString &condition, const std::function<void()> &before)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return;
    std::vector<qint64> deleted;
    Commit([&] {
        if (before)
            before();
        deleted = RecordSet().DeleteMatching(condition);
    });
    const QSet<qint64> gone(deleted.begin(), deleted.end());
    for (int row = GetItemCount() - 1; row >= 0; --row) {
        if (gone.contains(GetItemData(row)))
            DeleteRow(row);
    }
    SetSelected(-1);
}

bool CBook::ReselectAfterRemove(int removedRow, int rowCountBefore)
{
    if (RecordSet().GetRecordCount() == 0 || GetItemCount() == 0) {
        SetSelected(-1);
        return RecordSet().GetRecordCount() > 0;
    }
    int row = removedRow == rowCountBefore - 1 ? removedRow - 1 : removedRow;
    row = std::min(row, GetItemCount() - 1);
    SetSelected(row);
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
    // Matches are found as they are asked for: the first now, each next one as the one before is shown.
    m_findColumn = column;
    m_findText = text;
    const int first = NextTextMatch(-1);
    if (first >= 0)
        m_findResults.push_back(QString::number(first));
    if (m_findResults.empty()) {
        ShowMessage(QStringLiteral("没有匹配的记录"), QStringLiteral("查找"));
        return false;
    }
    return FindNext();
}

void CBook::ForgetFinds()
{
    m_findResults.clear();
    if (m_findWatcher)
        m_findWatcher();
}

int CBook::NextTextMatch(int afterRow) const
{
    for (int row = afterRow + 1; row < GetItemCount(); ++row) {
        if (GetItemText(row, m_findColumn) == m_findText)
            return row;
    }
    return -1;
}

bool CBook::FindNext()
{
    ChangeBatch batch(*this);
    if (m_findResults.empty())
        return false;
    const int row = m_findResults.front().toInt();
    m_findResults.pop_front();
    // The one after it is looked for first: whether one waits decides 下一项.
    const int next = NextTextMatch(row);
    SetSelected(row);
    if (next >= 0)
        m_findResults.push_back(QString::number(next));
    return !m_findResults.empty();
}
