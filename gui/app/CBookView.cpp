// Record list behaviour.
#include "CBookView.h"

#include <QHeaderView>
#include <QMouseEvent>

CBookView::CBookView(CBook &book, const QStringList &titles, const QList<int> &widths, QWidget *parent)
    : QTableView(parent), m_model(new BookTableModel(book, titles, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < widths.size(); ++column)
        setColumnWidth(column, widths.at(column));
    // The selection stays visible when the list loses the focus.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(palette);
    connect(m_model, &BookTableModel::selectRequested, this, &CBookView::ShowSelected);
}

void CBookView::ShowSelected(int row)
{
    selectRow(row);
    scrollTo(m_model->index(row, 0));
}

void CBookView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;  // a click below the last row changes nothing
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        selectRow(index.row());
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        Book().SetSelected(index.row());
        emit rowChosen(index.row());
    }
}

void CBookView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    QTableView::mouseDoubleClickEvent(event);
    Book().SetSelected(index.row());
    emit rowChosen(index.row());
    emit rowDoubleClicked(index.row());
}
