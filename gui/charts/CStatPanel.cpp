// The statistics chart panel.
#include "CStatPanel.h"

#include "charts/QtCanvas.h"

#include <QImage>
#include <QPainter>

CStatPanel::CStatPanel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_creditBook.ComputeTotals();
    m_insureBook.ComputeTotals();
    m_articleBook.ComputeTotals();
    m_currentBook.ComputeTotals();
    m_depositBook.ComputeTotals();
    m_moneyBook.ComputeTotal();
}

Holdings CStatPanel::GetHoldings() const
{
    return {m_moneyBook.GetTotal(),      m_depositBook.GetDepositTotal(), m_currentBook.GetTotal(),
            m_articleBook.GetTotalValue(), m_insureBook.GetTotal(),      m_creditBook.GetTotal()};
}

void CStatPanel::Clear()
{
    m_drawnKind = 0;
    update();
}

void CStatPanel::Draw(StatKind kind, const ChartPlan &chart)
{
    m_chart = chart;
    m_drawnKind = int(kind) + 1;
    update();
}

void CStatPanel::Paint(QPainter &painter) const
{
    painter.fillRect(rect(), Qt::white);
    if (m_drawnKind == 0)
        return;
    QtCanvas canvas(painter, width(), height());
    MakeGraph(m_chart)->DrawGraph(canvas);
}

void CStatPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

QImage CStatPanel::Picture() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter);
    return image;
}
