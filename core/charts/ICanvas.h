// What the chart engine draws on: a small set of GDI-like operations in integer device pixels,
// with the origin at the top left and y growing downwards. The interface paints it with QPainter;
// tests record it to check the geometry exactly.
#pragma once

#include <QString>
#include <vector>

struct GraphRgb
{
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const GraphRgb &other) const { return r == other.r && g == other.g && b == other.b; }
};

struct CanvasPoint
{
    int x = 0;
    int y = 0;
    bool operator==(const CanvasPoint &other) const { return x == other.x && y == other.y; }
};

class ICanvas
{
public:
    virtual ~ICanvas() = default;

    // The client area the chart fills.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // The pen outlines shapes and draws lines; the brush fills shapes. The defaults: black 1-pixel pen, white brush.
    virtual void SetPen(GraphRgb color, int width) = 0;
    virtual void SetBrush(GraphRgb color) = 0;
    virtual void SetDefaultPenAndBrush() = 0;

    // A rectangle from (left, top) to (right, bottom), the right and bottom edges excluded.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Polygon(const std::vector<CanvasPoint> &points) = 0;
    // The sector of the ellipse in the box from the radial through start anticlockwise (on the screen)
    // to the radial through end; equal points give the whole ellipse.
    virtual void Pie(int left, int top, int right, int bottom, CanvasPoint start, CanvasPoint end) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;

    // Arial (with the system's substitute for Chinese) of a cell height in pixels, a weight (400
    // regular, 700 bold) and an angle in tenths of a degree (900: reading upwards).
    virtual void SetFont(int height, int weight, int angle) = 0;
    // Black text whose cell's top left is (x, y) (for a turned font: the start of the baseline side).
    virtual void Text(int x, int y, const QString &text) = 0;
    virtual int AverageCharWidth() const = 0;
    virtual int MaxCharWidth() const = 0;
    virtual int CharHeight() const = 0;
};
