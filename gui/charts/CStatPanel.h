// The chart panel of the statistics dialog: a white area that draws the last chart it was given,
// again at every paint, and nothing before its first chart. It holds books of its own for the totals
// of the six holdings, read once when the dialog opens.
#pragma once

#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CMoneyBook.h"
#include "stats/StatCharts.h"

#include <QWidget>

class CStatPanel : public QWidget
{
    Q_OBJECT
public:
    // Throws DbError when the totals cannot be read.
    explicit CStatPanel(QWidget *parent = nullptr);

    Holdings GetHoldings() const;

    // 0 while nothing is drawn, else the chart kind's index plus one.
    int GetDrawnKind() const { return m_drawnKind; }
    void Clear();
    void Draw(StatKind kind, const ChartPlan &chart);

    // The chart as the panel paints it, on an image of the panel's size.
    QImage Picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Paint(QPainter &painter) const;

    CCreditBook m_creditBook;
    CInsureBook m_insureBook;
    CArticleBook m_articleBook;
    CCurrentBook m_currentBook;
    CDepositBook m_depositBook;
    CMoneyBook m_moneyBook;
    int m_drawnKind = 0;
    ChartPlan m_chart;
};
