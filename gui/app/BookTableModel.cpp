// The model adapter between a book and the list views.
#include "BookTableModel.h"

#include "common/Messages.h"
#include "db/DbError.h"

BookTableModel::BookTableModel(CBook &book, const QStringList &titles, QObject *parent)
    : QAbstractTableModel(parent), m_book(book), m_titles(titles), m_rows(book.GetItemCount())
{
    m_book.AddListener(this);
}

BookTableModel::~BookTableModel()
{
    m_book.RemoveListener(this);
}

int BookTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int BookTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant BookTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return QVariant();
    if (role == Qt::DisplayRole) {
        try {
            return m_book.GetItemText(index.row(), index.column());
        } catch (const DbError &error) {
            ReportReadFailure(error.Message());
        } catch (const std::exception &error) {
            ReportReadFailure(QString::fromLocal8Bit(error.what()));
        }
        return QVariant();
    }
    if (role == Qt::TextAlignmentRole)
        return int(index.column() == m_leftColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    return QVariant();
}

QVariant BookTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_titles.value(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}

void BookTableModel::ReportReadFailure(const QString &message) const
{
    if (m_readFailed)
        return;
    m_readFailed = true;
    QMetaObject::invokeMethod(
        const_cast<BookTableModel *>(this),
        [message] { ShowMessage(message, QStringLiteral("数据库错误"), MessageIcon::Error); }, Qt::QueuedConnection);
}

void BookTableModel::RowsReset()
{
    m_readFailed = false;
    beginResetModel();
    m_rows = m_book.GetItemCount();
    endResetModel();
}

void BookTableModel::RowInserted(int row)
{
    beginInsertRows(QModelIndex(), row, row);
    ++m_rows;
    endInsertRows();
}

void BookTableModel::RowRemoved(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    --m_rows;
    endRemoveRows();
}

void BookTableModel::RowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void BookTableModel::SelectionChanged(int row)
{
    emit selectionChanged(row);
}
