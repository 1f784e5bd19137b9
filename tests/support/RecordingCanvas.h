// A canvas that records every drawing call as text, with fixed text metrics, so chart geometry
// can be checked to the pixel.
#pragma once

#include "charts/ICanvas.h"

#include <QStringList>

class RecordingCanvas : public ICanvas
{
public:
    RecordingCanvas(int width, int height) : m_width(width), m_height(height) {}

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void SetPen(GraphRgb color, int width) override { m_pen = Rgb(color) + QStringLiteral("/%1").arg(width); }
    void SetBrush(GraphRgb color) override { m_brush = Rgb(color); }
    void SetDefaultPenAndBrush() override
    {
        m_pen = QStringLiteral("0,0,0/1");
        m_brush = QStringLiteral("255,255,255");
    }
    void Rectangle(int left, int top, int right, int bottom) override
    {
        calls << QStringLiteral("rect %1,%2,%3,%4 pen %5 brush %6").arg(left).arg(top).arg(right).arg(bottom).arg(m_pen, m_brush);
    }
    void Polygon(const std::vector<CanvasPoint> &points) override
    {
        QStringList corners;
        for (const CanvasPoint &p : points)
            corners << QStringLiteral("%1,%2").arg(p.x).arg(p.y);
        calls << QStringLiteral("polygon ") + corners.join(QLatin1Char(' ')) + QStringLiteral(" brush ") + m_brush;
    }
    void Pie(int left, int top, int right, int bottom, CanvasPoint start, CanvasPoint end) override
    {
        calls << QStringLiteral("pie %1,%2,%3,%4 from %5,%6 to %7,%8 brush %9")
                     .arg(left).arg(top).arg(right).arg(bottom).arg(start.x).arg(start.y).arg(end.x).arg(end.y).arg(m_brush);
    }
    void Line(int x1, int y1, int x2, int y2) override
    {
        calls << QStringLiteral("line %1,%2 %3,%4 pen %5").arg(x1).arg(y1).arg(x2).arg(y2).arg(m_pen);
    }
    void SetFont(int height, int weight, int angle) override
    {
        m_fontHeight = height;
        calls << QStringLiteral("font %1 %2 %3").arg(height).arg(weight).arg(angle);
    }
    void Text(int x, int y, const QString &text) override { calls << QStringLiteral("text %1,%2 %3").arg(x).arg(y).arg(text); }
    int AverageCharWidth() const override { return m_fontHeight / 2; }
    int MaxCharWidth() const override { return m_fontHeight; }
    int CharHeight() const override { return m_fontHeight; }

    // The calls that begin with the prefix.
    QStringList Calls(const QString &prefix) const
    {
        QStringList found;
        for (const QString &call : calls) {
            if (call.startsWith(prefix))
                found << call;
        }
        return found;
    }

    QStringList calls;

private:
    static QString Rgb(GraphRgb color) { return QStringLiteral("%1,%2,%3").arg(color.r).arg(color.g).arg(color.b); }
    int m_width;
    int m_height;
    QString m_pen = QStringLiteral("0,0,0/1");
    QString m_brush = QStringLiteral("255,255,255");
    int m_fontHeight = 12;
};
