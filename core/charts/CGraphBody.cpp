// Bars (flat and with depth) and lines over the axes.
#include "CGraph.h"

void CGraph::DrawBars(ICanvas &canvas)
{
    if (m_groups.empty() || m_pointsPerGroup == 0)
        return;
    const int groupWidth = m_plotWidth / int(m_groups.size());
    const double band = groupWidth * (m_3D ? 0.8 : 0.6);
    const int barWidth = int(band / m_pointsPerGroup);
    const int total = m_pointsPerGroup * barWidth;
    const double scale = double(m_plotHeight - 10) / double(m_maximum - m_minimum);
    const int d = m_depth;

    for (int q = 1; q <= int(m_groups.size()); ++q) {
        const CGraphGroup &group = *m_groups[size_t(q - 1)];
        const int centre = groupWidth * q + m_x0 - groupWidth / 2;
        for (int i = 0; i < m_pointsPerGroup; ++i) {
            const int value = group.GetValue(i);
            if (value < 0)
                continue;
            int height;
            if (m_minimum <= 0 && 0 <= m_maximum)
                height = int(scale * value);
            else if (m_minimum > 0)
                height = int(scale * (value - m_minimum));
            else
                height = int(scale * (value - m_maximum));
            const int left = i * barWidth + centre - total / 2;
            const int right = left + barWidth;
            const int bottom = m_y0;
            const int top = height > m_plotHeight ? m_y0 - m_plotHeight : m_y0 - height;
            const GraphRgb color = ColorFor(i);
            canvas.SetPen(color, 1);
            canvas.SetBrush(color);
            canvas.Rectangle(left, top, right, bottom);
            if (m_3D) {
                const GraphRgb dark = Darker(color);
                canvas.SetPen(dark, 1);
                canvas.SetBrush(dark);
                canvas.Polygon({{right, top}, {right, bottom}, {right + d, bottom - d}, {right + d, top - d}});
                const GraphRgb light = Lighter(color);
                canvas.SetPen(light, 1);
                canvas.SetBrush(light);
                canvas.Polygon({{left, top}, {right, top}, {right + d, top - d}, {left + d, top - d}});
            }
        }
    }
    canvas.SetDefaultPenAndBrush();
}

void CGraph::DrawLines(ICanvas &canvas)
{
    if (m_groups.empty())
        return;
    const int groupWidth = m_plotWidth / int(m_groups.size());
    const double scale = double(m_plotHeight) / double(m_maximum - m_minimum);
    for (int i = 0; i < m_pointsPerGroup; ++i) {
        bool havePrevious = false;
        CanvasPoint previous;
        for (int q = 1; q <= int(m_groups.size()); ++q) {
            const int value = m_groups[size_t(q - 1)]->GetValue(i);
            if (value < 0)
                continue;  // the line joins the points on either side
            int height = int((value - m_minimum) * scale);
            if (value - m_minimum > 0 && height <= 0)
                height = int(scale);  // a small positive value stays visible
            if (height > m_y0)
                height = int(scale * (m_maximum - m_minimum)) + 5;
            const CanvasPoint point{groupWidth * q + m_x0 - groupWidth / 2, m_y0 - height};
            if (havePrevious) {
                canvas.SetPen(ColorFor(i), 2);
                canvas.Line(previous.x, previous.y, point.x, point.y);
            }
            previous = point;
            havePrevious = true;
        }
    }
    canvas.SetDefaultPenAndBrush();
}
