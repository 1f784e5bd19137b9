// The recycle bin.
#include "CRecycleDlg.h"

#include "common/Messages.h"
#include "db/DbError.h"
#include "db/Ledger.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("回收站");

} // namespace

CRecycleDlg::CRecycleDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(kCaption);
    m_table = new QTableWidget(this);
    m_table->setColumnCount(3);
    m_table->setHorizontalHeaderLabels({QStringLiteral("删除时间"), QStringLiteral("帐本"), QStringLiteral("内容")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setColumnWidth(0, 140);
    m_table->setColumnWidth(1, 80);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &CRecycleDlg::RestoreChosen);
    m_count = new QLabel(this);
    auto *restore = new QPushButton(QStringLiteral("恢复"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    connect(restore, &QPushButton::clicked, this, &CRecycleDlg::RestoreChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    buttons->addWidget(restore);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(640, 360);
    Fill();
}

void CRecycleDlg::Fill()
{
    m_records.clear();
    TellDbFailure([this] { m_records = LedgerJournal().Recycled(); }, kCaption);
    m_table->setRowCount(int(m_records.size()));
    for (int row = 0; row < m_records.size(); ++row) {
        const RecycledRecord &record = m_records.at(row);
        const QStringList texts{record.deleted.toString(QStringLiteral("yyyy-MM-dd HH:mm")), record.book, record.summary};
        for (int column = 0; column < texts.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    }
    // The latest deletion is chosen to begin with: what 恢复 acts on is always shown.
    if (!m_records.isEmpty())
        m_table->selectRow(0);
    m_count->setText(m_records.isEmpty() ? QStringLiteral("最近 %1 天内没有删除的记录。").arg(ChangeJournal::kRecycleDays)
                                         : QStringLiteral("最近 %1 天内删除的记录：%2 条").arg(ChangeJournal::kRecycleDays).arg(m_records.size()));
    if (UsesServerLedger())
        m_count->setText(QStringLiteral("服务器帐本上删除的记录不进回收站（这里只有本机帐本的）。"));
}

bool CRecycleDlg::RestoreChosen()
{
    QSet<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows.insert(index.row());
    if (rows.isEmpty()) {
        ShowMessage(QStringLiteral("请先选择要恢复的记录"), kCaption);
        return false;
    }
    QList<qint64> ids;
    for (int row : std::as_const(rows))
        ids << m_records.at(row).id;
    QString problem;
    const bool written = TellDbFailure([&] { problem = LedgerJournal().Restore(ids); }, kCaption);
    if (!written)
        return false;
    if (!problem.isEmpty()) {
        ShowMessage(problem, kCaption, MessageIcon::Warning);
        return false;
    }
    Fill();
    emit recordsRestored();
    return true;
}
