// GDI-style drawing on QPainter.
#include "QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QtMath>

namespace {

QColor ToQColor(GraphRgb color)
{
    return QColor(color.r, color.g, color.b);
}

} // namespace

QtCanvas::QtCanvas(QPainter &painter, int width, int height) : m_painter(painter), m_width(width), m_height(height)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    SetDefaultPenAndBrush();
    SetFont(12, 400, 0);
}

void QtCanvas::SetPen(GraphRgb color, int width)
{
    QPen pen(ToQColor(color));
    pen.setWidth(width);
    m_painter.setPen(pen);
}

void QtCanvas::SetBrush(GraphRgb color)
{
    m_painter.setBrush(ToQColor(color));
}

void QtCanvas::SetDefaultPenAndBrush()
{
    m_painter.setPen(QPen(Qt::black, 1));
    m_painter.setBrush(Qt::white);
}

void QtCanvas::Rectangle(int left, int top, int right, int bottom)
{
    // GDI's rectangle covers right - left pixels with its outline inside.
    m_painter.drawRect(left, top, right - left - 1, bottom - top - 1);
}

void QtCanvas::Polygon(const std::vector<CanvasPoint> &points)
{
    QPolygon polygon;
    for (const CanvasPoint &point : points)
        polygon << QPoint(point.x, point.y);
    m_painter.drawPolygon(polygon);
}

void QtCanvas::Pie(int left, int top, int right, int bottom, CanvasPoint start, CanvasPoint end)
{
    const QRectF box(left, top, right - left, bottom - top);
    const QPointF centre = box.center();
    auto degrees = [&](CanvasPoint point) {
        return qRadiansToDegrees(std::atan2(-(point.y - centre.y()), point.x - centre.x()));
    };
    const double from = degrees(start);
    double span = degrees(end) - from;
    while (span <= 0)
        span += 360;  // anticlockwise on the screen; the same point twice is the whole ellipse
    m_painter.drawPie(box, int(from * 16), int(span * 16));
}

void QtCanvas::Line(int x1, int y1, int x2, int y2)
{
    m_painter.drawLine(x1, y1, x2, y2);
}

void QtCanvas::SetFont(int height, int weight, int angle)
{
    // Arial with SimSun for Chinese, as the chart layout assumes: 6 pixels per byte at 12 pixels.
    // Noto Sans Mono CJK has exactly those half-width and full-width advances.
    QFont font(QStringLiteral("Noto Sans Mono CJK SC"));
    font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(height, 6));
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    m_painter.setFont(font);
    m_angle = angle;
}

void QtCanvas::Text(int x, int y, const QString &text)
{
    m_painter.save();
    m_painter.setPen(Qt::black);
    m_painter.translate(x, y);
    m_painter.rotate(-m_angle / 10.0);
    m_painter.drawText(0, m_painter.fontMetrics().ascent(), text);
    m_painter.restore();
}

int QtCanvas::AverageCharWidth() const
{
    // The width of a half-width character, as the layout counts one per byte (a CJK font's own
    // average is its full width).
    return m_painter.fontMetrics().horizontalAdvance(QLatin1Char('x'));
}

int QtCanvas::MaxCharWidth() const
{
    return m_painter.fontMetrics().maxWidth();
}

int QtCanvas::CharHeight() const
{
    return m_painter.fontMetrics().height();
}
