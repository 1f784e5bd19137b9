// The chart canvas on a QPainter: what the statistics panel and the chart pictures are drawn with.
#pragma once

#include "charts/ICanvas.h"

#include <QFont>
#include <QPainter>

class QtCanvas : public ICanvas
{
public:
    QtCanvas(QPainter &painter, int width, int height);

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void SetPen(GraphRgb color, int width) override;
    void SetBrush(GraphRgb color) override;
    void SetDefaultPenAndBrush() override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Polygon(const std::vector<CanvasPoint> &points) override;
    void Pie(int left, int top, int right, int bottom, CanvasPoint start, CanvasPoint end) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void SetFont(int height, int weight, int angle) override;
    void Text(int x, int y, const QString &text) override;
    int AverageCharWidth() const override;
    int MaxCharWidth() const override;
    int CharHeight() const override;

private:
    QPainter &m_painter;
    int m_width;
    int m_height;
    int m_angle = 0;
};
