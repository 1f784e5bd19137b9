// Chart model, page layout, title, legend and axes.
#include "CGraph.h"

#include "common/Gbk.h"
#include "common/Messages.h"

#include <algorithm>

namespace {

const GraphRgb kBlack{0, 0, 0};
const GraphRgb kTint{230, 250, 255};

// Point sizes of the legend fonts, as pixel heights on a 96-dpi screen.
constexpr int kNinePoint = 12;
constexpr int kTwelvePoint = 16;

} // namespace

CGraph::CGraph(int type) : m_type(type), m_3D(type == Bars3D || type == Pie3D || type == 31 || type == 320) {}

void CGraph::SetXAxisLabel(const QString &label)
{
    m_xLabel = label;
    m_xLabelLength = GbkLength(label);
}

void CGraph::SetYAxisLabel(const QString &label)
{
    m_yLabel = label;
    m_yLabelLength = GbkLength(label);
}

void CGraph::SetTickRange(int minimum, int maximum, int step)
{
    m_minimum = minimum;
    m_maximum = maximum <= minimum ? minimum + 1 : maximum;
    const int range = m_maximum - m_minimum;
    if (step <= 0 || range < step) {
        m_step = range;
        m_ticks = 1;
    } else {
        m_step = step;
        m_ticks = range / step;
        if (step * m_ticks < range)
            ++m_ticks;
    }
}

void CGraph::AddGroup(std::unique_ptr<CGraphGroup> group)
{
    m_pointsPerGroup = std::max(m_pointsPerGroup, group->GetPointCount());
    m_groups.push_back(std::move(group));
}

void CGraph::SetColor(int index, GraphRgb color)
{
    m_colors.push_back({index, color});
}

void CGraph::SetLegend(int index, const QString &text)
{
    m_legend.push_back({index, text});
    m_hasLegend = true;
    m_longestLegend = std::max(m_longestLegend, GbkLength(text));
}

GraphRgb CGraph::ColorFor(int index) const
{
    return index >= 0 && index < int(m_colors.size()) ? m_colors[size_t(index)].color : kBlack;
}

QString CGraph::LegendFor(int index) const
{
    return index >= 0 && index < int(m_legend.size()) ? m_legend[size_t(index)].text : QString();
}

GraphRgb CGraph::Darker(GraphRgb color)
{
    return {std::max(color.r - 35, 0), std::max(color.g - 35, 0), std::max(color.b - 35, 0)};
}

GraphRgb CGraph::Lighter(GraphRgb color)
{
    return {std::min(color.r + 35, 255), std::min(color.g + 35, 255), std::min(color.b + 35, 255)};
}

void CGraph::DrawGraph(ICanvas &canvas)
{
    const int clientWidth = canvas.Width();
    const int clientHeight = canvas.Height();
    m_width = clientWidth - 5;
    m_height = clientHeight - 20;
    m_depth = 0;

    canvas.SetDefaultPenAndBrush();
    canvas.SetBrush(kTint);
    canvas.Rectangle(0, 0, clientWidth, clientHeight);
    DrawTitle(canvas);

    if (IsPie()) {
        m_x0 = 5;
        m_plotWidth = m_width - 10;
        m_plotHeight = m_height - 50;
        m_y0 = m_height - 5;
    } else {
        m_x0 = int(QString::number(m_maximum).size()) * 6 + 50;
        m_y0 = m_height - 50;
        m_plotHeight = m_y0 - 40;
        m_plotWidth = m_width - m_x0 - 5;
    }
    if (m_hasLegend)
        m_plotWidth = DrawLegend(canvas) - m_x0 - 10;
    if (!IsPie())
        DrawAxes(canvas);

    switch (m_type) {
    case Bars:
    case Bars3D:
        DrawBars(canvas);
        break;
    case Lines:
        DrawLines(canvas);
        break;
    case Pie:
    case Pie3D:
        DrawPies(canvas);
        break;
    default:
        ShowMessage(QStringLiteral("No graph type to display"));
        break;
    }
}

void CGraph::DrawTitle(ICanvas &canvas)
{
    const int length = GbkLength(m_title);
    int height = 24;
    while (height > 2 && m_width < length * (height / 2))
        height -= 2;
    canvas.SetFont(height, 700, 0);
    canvas.Text(canvas.Width() / 2 - (length / 2) * canvas.AverageCharWidth(), 10, m_title);
}

int CGraph::DrawLegend(ICanvas &canvas)
{
    const int rows = m_pointsPerGroup;
    const int longest = m_longestLegend;
    const int boxHeight = 18 * rows + 26;
    const int top = m_height / 2 - boxHeight / 2;
    const int bottom = top + boxHeight;
    const int right = m_width - 5;
    const int innerWidth = longest * 7 + 25;  // 7 is (int)(12 * 0.66)
    const int left = m_width - (longest * 7 + 30);

    canvas.SetDefaultPenAndBrush();
    canvas.Rectangle(left, top, right, bottom);
    canvas.SetFont(kTwelvePoint, 400, 0);
    canvas.Text(innerWidth / 2 + left - 3 * canvas.AverageCharWidth(), top + 3, QStringLiteral("图例"));
    canvas.SetFont(kNinePoint, 700, 0);
    for (int i = 0; i < rows; ++i) {
        const int y = top + 25 + 18 * i;
        canvas.Text(left + 5, y, LegendFor(i));
        canvas.SetPen(kBlack, 1);
        canvas.SetBrush(ColorFor(i));
        canvas.Rectangle(left + 10 + 6 * longest, y, right - 5, y + 12);
    }
    canvas.SetDefaultPenAndBrush();
    return left;
}

void CGraph::DrawAxes(ICanvas &canvas)
{
    int &x0 = m_x0;
    int &y0 = m_y0;
    int &plotWidth = m_plotWidth;
    int &plotHeight = m_plotHeight;
    int e = 0;
    if (m_3D) {
        m_depth = int(plotHeight * m_depthRatio);
        plotWidth -= m_depth;
        plotHeight -= m_depth;
        e = int(0.2 * m_depth);
    }
    const int d = m_depth;
    const int bx = x0 + d;
    const int by = y0 - d;

    canvas.SetPen(kBlack, 2);
    canvas.Line(bx - 1, by + 1, bx - 1, by - plotHeight + 1);
    canvas.Line(bx - 1, by + 1, bx + plotWidth - 1, by + 1);
    if (m_3D) {
        canvas.Line(x0, y0 + e, x0, y0 - plotHeight);
        canvas.Line(x0 - e, y0, x0 + plotWidth, y0);
        canvas.Line(x0, y0, x0 + d, y0 - d);
        canvas.Line(x0, y0 - plotHeight, x0 + d, y0 - plotHeight - d);
        canvas.Line(x0 + plotWidth, y0, x0 + plotWidth + d, y0 - d);
        canvas.Line(x0 + d, y0 - plotHeight - d, x0 + plotWidth + d, y0 - plotHeight - d);
    }

    // Axis titles: one size for both, shrunk until the longer side holds its title.
    int titleHeight = 16;
    if (m_height < m_width) {
        while (titleHeight > 2 && m_height < m_yLabelLength * (titleHeight / 2))
            titleHeight -= 2;
    } else {
        while (titleHeight > 2 && m_width < (titleHeight / 2) * m_xLabelLength)
            titleHeight -= 2;
    }
    canvas.SetFont(titleHeight, 700, 900);
    canvas.Text(10, m_yLabelLength * canvas.AverageCharWidth() / 2 + y0 - plotHeight / 2, m_yLabel);
    canvas.SetFont(titleHeight, 700, 0);
    canvas.Text(plotWidth / 2 + x0 - (m_xLabelLength / 2) * canvas.AverageCharWidth(), m_height - 11, m_xLabel);

    const int spacing = m_ticks > 0 ? (m_3D ? plotHeight / m_ticks : (plotHeight - 10) / m_ticks) : 0;
    canvas.SetFont(12, 700, 0);
    for (int k = 1; k <= m_ticks; ++k) {
        const int y = y0 - k * spacing;
        canvas.SetPen(kBlack, 1);
        if (m_3D)
            canvas.Line(x0 - e, y, x0, y);
        else
            canvas.Line(x0 - 4, y, x0 + 3, y);
        if (m_grid) {
            canvas.SetPen({128, 128, 128}, 1);
            if (m_3D) {
                canvas.Line(x0, y, x0 + d, y - d);
                canvas.Line(x0 + d, y - d, x0 + d + plotWidth, y - d);
            } else {
                canvas.Line(x0, y, x0 + plotWidth, y);
            }
        }
        const QString label = QString::number(m_minimum + m_step * k);
        canvas.Text(x0 - int(label.size()) * 6 - 10, y - 6, label);
        if (m_3D) {
            const int half = y0 - int(0.5 * k * spacing) - int(0.5 * (k - 1) * spacing);
            canvas.SetPen(kBlack, 1);
            canvas.Line(x0 - e, half, x0, half);
            if (m_grid) {
                canvas.SetPen({225, 225, 225}, 1);
                canvas.Line(x0, half, x0 + d, half - d);
                canvas.Line(x0 + d, half - d, x0 + plotWidth + d, half - d);
            }
        }
    }
    const QString origin = m_minimum < 1 ? QStringLiteral("0") : QString::number(m_minimum);
    canvas.Text(x0 - int(origin.size()) * 6 - 10, y0 - 6, origin);

    if (m_groups.empty())
        return;  // nothing to mark along the category axis
    const int groupWidth = plotWidth / int(m_groups.size());
    canvas.SetPen(kBlack, 1);
    for (int q = 1; q <= int(m_groups.size()); ++q) {
        const int centre = x0 + q * groupWidth - groupWidth / 2;
        if (m_3D) {
            const int boundary = x0 + q * groupWidth;
            canvas.Line(boundary, y0 + e, boundary, y0);
            canvas.Line(boundary, y0, boundary + d, y0 - d);
        } else {
            canvas.Line(centre, y0 - 3, centre, y0 + 4);
        }
        const QString label = m_groups[size_t(q - 1)]->GetLabel();
        canvas.Text(centre - 4 * GbkLength(label), y0 + 8, label);
    }
}
