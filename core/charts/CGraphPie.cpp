// Pies, flat and with depth: slices from the leftmost point anticlockwise, labels on leader lines.
#include "CGraph.h"

#include "common/Gbk.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRadiansPerDegree = 0.017453277777777776;  // 3.14159 / 180

int WholeDegrees(double part, double total)
{
    return int(part / total * 100 * 360 * 0.01);
}

struct PieLabel
{
    CanvasPoint inner;
    CanvasPoint outer;
    CanvasPoint text;
    int quadrant = 0;
    QString caption;
};

} // namespace

CanvasPoint CGraph::RimPoint(int angle, int radius, int x, int y)
{
    auto sine = [](int degrees) { return std::sin(degrees * kRadiansPerDegree); };
    if (angle >= 360)
        return {x - radius, y - 1};
    if (angle < 90)
        return {int(x - radius * sine(90 - angle)), int(y + radius * sine(angle))};
    if (angle < 180)
        return {int(x + radius * sine(angle - 90)), int(y + radius * sine(180 - angle))};
    if (angle < 270)
        return {int(x + radius * sine(270 - angle)), int(y - radius * sine(angle - 180))};
    return {int(x - radius * sine(angle - 270)), int(y - radius * sine(360 - angle))};
}

void CGraph::DrawPies(ICanvas &canvas)
{
    if (m_groups.empty())
        return;
    const int count = int(m_groups.size());
    const int labelWidth = canvas.MaxCharWidth() + 10;
    const int labelHeight = canvas.CharHeight() + 6;
    const int size = std::min(m_plotWidth, m_plotHeight) / count - 3 * labelWidth;
    const int r = std::max(size / 3, 0);
    const int depth = int(r * m_depthRatio);
    const int cy = (m_plotHeight + 60) / 2;

    for (int q = 1; q <= count; ++q) {
        const CGraphGroup &group = *m_groups[size_t(q - 1)];
        const int px = count == 1 ? m_x0 + m_plotWidth / 2 - r : (2 * q - 1) * (m_plotWidth / count / 2) + m_x0 - r + 15;
        const int cx = px + r;
        int total = 0;
        for (int i = 0; i < m_pointsPerGroup; ++i)
            total += group.GetValue(i);

        canvas.SetDefaultPenAndBrush();
        const QString label = group.GetLabel();
        // Centred under the pie, but never begun left of the canvas, where its first words would be lost.
        canvas.Text(std::max(0, cx - 4 * GbkLength(label)), cy + labelHeight + int(1.5 * r) + 15, label);
        if (total <= 0 || r <= 0)
            continue;  // nothing to share out: no slices

        if (m_type == Pie3D) {
            // The base layer, shifted by the depth, shows below the slices as the pie's side.
            CanvasPoint base{cx + depth - r, cy + depth};
            CanvasPoint top{cx - r, cy};
            int previousQuadrant = 0;
            bool remembered = false;
            GraphRgb rememberedColor;
            int cumulative = 0;
            for (int i = 0; i < m_pointsPerGroup; ++i) {
                const int value = group.GetValue(i);
                if (value <= 0)
                    continue;
                cumulative += value;
                const int angle = WholeDegrees(cumulative, total);
                const int quadrant = angle / 90;
                const CanvasPoint baseEnd = RimPoint(angle, r, cx + depth, cy + depth);
                const CanvasPoint topEnd = RimPoint(angle, r, cx, cy);
                if (i == 0) {
                    base.y -= 1;
                    top.y -= 1;
                }
                const GraphRgb shade = Darker(ColorFor(i));
                if (quadrant < 2 || previousQuadrant < 2) {
                    canvas.SetPen(shade, 1);
                    canvas.SetBrush(shade);
                    canvas.Polygon({base, baseEnd, topEnd, top});
                    canvas.Pie(px + depth, cy - r + depth, px + 2 * r + depth, cy + r + depth, base, baseEnd);
                } else {
                    const GraphRgb color = remembered ? rememberedColor : shade;
                    canvas.SetPen(color, 1);
                    canvas.SetBrush(color);
                    canvas.Pie(px + depth, cy - r + depth, px + 2 * r + depth, cy + r + depth, base, baseEnd);
                    canvas.Polygon({baseEnd, topEnd, top});
                }
                base = baseEnd;
                top = topEnd;
                if (quadrant > 1 && previousQuadrant < 2) {
                    remembered = true;
                    rememberedColor = shade;
                }
                previousQuadrant = quadrant;
            }
        }

        std::vector<PieLabel> labels;
        CanvasPoint start{cx - r, cy};
        int cumulative = 0;
        for (int i = 0; i < m_pointsPerGroup; ++i) {
            const int value = group.GetValue(i);
            if (value <= 0)
                continue;
            cumulative += value;
            const int angle = WholeDegrees(cumulative, total);
            const int middle = WholeDegrees(cumulative - value / 2, total);
            const int quadrant = (middle / 90) % 4;

            PieLabel labelOf;
            labelOf.quadrant = quadrant;
            const CanvasPoint rim = RimPoint(middle, r, cx, cy);
            // Half way from the centre, the odd pixel going towards the rim.
            labelOf.inner = {cx + (rim.x - cx) - (rim.x - cx) / 2, cy + (rim.y - cy) - (rim.y - cy) / 2};
            const int reach = r / 2;
            const int dx = (quadrant == 1 || quadrant == 2) ? reach : -reach;
            const int dy = (quadrant == 0 || quadrant == 1) ? reach : -reach;
            labelOf.outer = {rim.x + dx, rim.y + dy};
            switch (quadrant) {
            case 0: labelOf.text = {labelOf.outer.x - labelWidth, labelOf.outer.y}; break;
            case 1: labelOf.text = {labelOf.outer.x + 5, labelOf.outer.y}; break;
            case 2: labelOf.text = {labelOf.outer.x + 5, labelOf.outer.y - labelHeight}; break;
            default: labelOf.text = {labelOf.outer.x - labelWidth, labelOf.outer.y - labelHeight}; break;
            }
            labelOf.caption = QStringLiteral("%1%").arg(int(double(value) * 100 / total));
            labels.push_back(labelOf);

            if (i == 0)
                start.y -= 1;
            const CanvasPoint end = RimPoint(angle, r, cx, cy);
            const GraphRgb color = ColorFor(i);
            canvas.SetPen(color, 1);
            canvas.SetBrush(color);
            canvas.Pie(px, cy - r, px + 2 * r, cy + r, start, end);
            start = end;
        }

        canvas.SetPen({0, 0, 0}, 1);
        canvas.SetBrush({0, 0, 0});
        for (size_t j = 0; j < labels.size(); ++j) {
            PieLabel &placed = labels[j];
            // Moves the label clear of the earlier ones; each move goes one way only, so this ends.
            size_t guard = 0;
            for (size_t m = 0; m < j && guard < labels.size() * labels.size() + 1;) {
                const PieLabel &earlier = labels[m];
                const bool collides = earlier.text.x < placed.text.x && placed.text.x < earlier.text.x + labelWidth
                                      && earlier.text.y < placed.text.y && placed.text.y < earlier.text.y + labelHeight;
                if (!collides) {
                    ++m;
                    continue;
                }
                const int shift = placed.quadrant >= 2 ? -labelHeight : labelHeight;
                placed.text.y = earlier.text.y + shift;
                placed.outer.y = earlier.outer.y + shift;
                m = 0;
                ++guard;
            }
            canvas.Line(placed.inner.x, placed.inner.y, placed.outer.x, placed.outer.y);
            canvas.Text(placed.text.x, placed.text.y, placed.caption);
        }
    }
    canvas.SetDefaultPenAndBrush();
}
