// The chart engine: a chart of one type (bars, bars with depth, lines, pies, pies with depth) with a
// title, axes, a legend and groups of points, laid out to fill the canvas it is drawn on. Every
// coordinate is integer arithmetic: integer division toward zero, doubles truncated.
#pragma once

#include "charts/CGraphColor.h"
#include "charts/CGraphGroup.h"
#include "charts/CGraphLegendEntry.h"
#include "charts/ICanvas.h"

#include <QString>
#include <memory>
#include <vector>

class CGraph
{
public:
    enum GraphType { Bars = 0, Pie = 2, Lines = 21, Bars3D = 30, Pie3D = 32 };

    explicit CGraph(int type);

    void SetTitle(const QString &title) { m_title = title; }
    void SetXAxisLabel(const QString &label);
    void SetYAxisLabel(const QString &label);
    void SetTickRange(int minimum, int maximum, int step);
    void SetDepthRatio(double ratio) { m_depthRatio = ratio; }
    void SetXLabelAngle(int degrees) { m_xLabelAngle = degrees; }
    void SetGridLines(bool on) { m_grid = on; }
    void AddGroup(std::unique_ptr<CGraphGroup> group);
    void SetColor(int index, GraphRgb color);
    void SetLegend(int index, const QString &text);

    void DrawGraph(ICanvas &canvas);

    // The axis and layout after a draw, for those who place things beside the chart.
    int GetMaximum() const { return m_maximum; }
    int GetTickCount() const { return m_ticks; }
    int GetX0() const { return m_x0; }
    int GetY0() const { return m_y0; }
    int GetPlotWidth() const { return m_plotWidth; }
    int GetPlotHeight() const { return m_plotHeight; }
    int GetDepth() const { return m_depth; }

    static GraphRgb Darker(GraphRgb color);
    static GraphRgb Lighter(GraphRgb color);
    // The point of the rim at a whole-degree angle counted from the leftmost point, first downwards.
    static CanvasPoint RimPoint(int angle, int radius, int x, int y);

private:
    bool IsPie() const { return m_type == Pie || m_type == Pie3D; }
    GraphRgb ColorFor(int index) const;
    QString LegendFor(int index) const;
    void DrawTitle(ICanvas &canvas);
    int DrawLegend(ICanvas &canvas);
    void DrawAxes(ICanvas &canvas);
    void DrawBars(ICanvas &canvas);
    void DrawLines(ICanvas &canvas);
    void DrawPies(ICanvas &canvas);

    int m_type;
    bool m_3D;
    std::vector<std::unique_ptr<CGraphGroup>> m_groups;
    std::vector<CGraphColor> m_colors;
    std::vector<CGraphLegendEntry> m_legend;
    int m_longestLegend = 0;
    bool m_hasLegend = false;
    int m_pointsPerGroup = 0;
    QString m_title;
    QString m_xLabel;
    int m_xLabelLength = 0;
    QString m_yLabel;
    int m_yLabelLength = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_step = 10;
    int m_ticks = 10;
    double m_depthRatio = 0.05;
    int m_xLabelAngle = 0;
    bool m_grid = false;

    int m_width = 0;
    int m_height = 0;
    int m_x0 = 0;
    int m_y0 = 0;
    int m_plotWidth = 0;
    int m_plotHeight = 0;
    int m_depth = 0;
};
