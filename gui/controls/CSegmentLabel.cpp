// Coloured text segments on one line.
#include "CSegmentLabel.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor FromWord(qint64 word)
{
    return QColor(int(word & 0xff), int(word >> 8 & 0xff), int(word >> 16 & 0xff));
}

} // namespace

CSegmentLabel::CSegmentLabel(QWidget *parent) : QWidget(parent)
{
    // Everything is painted by the label itself: no erase before each paint, so nothing flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CSegmentLabel::SetSegment(int index, const TextSegment &segment)
{
    if (index < 0 || index > SegmentCount() || segment.text.isEmpty())
        return false;
    if (index == SegmentCount())
        m_segments.push_back(segment);
    else
        m_segments[size_t(index)] = segment;
    update();
    return true;
}

TextSegment CSegmentLabel::GetSegment(int index) const
{
    if (index < 0 || index >= SegmentCount())
        return TextSegment();
    return m_segments[size_t(index)];
}

bool CSegmentLabel::AddSegment(const QString &text, quint32 color, qint64 background)
{
    return AppendSegment({text, color, background});
}

bool CSegmentLabel::AppendSegment(const TextSegment &segment)
{
    return SetSegment(SegmentCount(), segment);
}

bool CSegmentLabel::RemoveSegment(int index)
{
    if (index < 0 || index >= SegmentCount())
        return false;
    m_segments.erase(m_segments.begin() + index);
    update();
    return true;
}

void CSegmentLabel::RemoveAllSegments()
{
    while (!m_segments.empty())
        m_segments.pop_back();
    update();
}

void CSegmentLabel::SetBackColor(qint64 color)
{
    m_background = color;
    update();
}

QColor CSegmentLabel::BackColor() const
{
    return m_background < 0 ? palette().color(QPalette::Button) : FromWord(m_background);
}

QFont CSegmentLabel::SegmentFont(const TextSegment &segment) const
{
    QFont face = font();
    face.setPixelSize(std::max(1, height()));
    face.setWeight(QFont::Weight(508));
    face.setItalic(segment.IsItalic());
    face.setUnderline(segment.IsUnderlined());
    return face;
}

int CSegmentLabel::TotalWidth() const
{
    int width = 0;
    for (const TextSegment &segment : m_segments)
        width += QFontMetrics(SegmentFont(segment)).horizontalAdvance(segment.text);
    return width;
}

void CSegmentLabel::DrawSegments(QPainter &painter, int x) const
{
    painter.fillRect(rect(), BackColor());
    const QColor buttonFace = palette().color(QPalette::Button);
    for (const TextSegment &segment : m_segments) {
        const QFont face = SegmentFont(segment);
        const int width = QFontMetrics(face).horizontalAdvance(segment.text);
        // A segment on the button colour shows the label's own background instead.
        QColor background = segment.background < 0 ? BackColor() : FromWord(segment.background);
        if (background == buttonFace)
            background = BackColor();
        painter.fillRect(QRect(x, 0, width, height()), background);
        painter.setFont(face);
        painter.setPen(segment.TextColor());
        painter.drawText(QRect(x, 0, width, height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, segment.text);
        x += width;
    }
}

void CSegmentLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    DrawSegments(painter, 0);
}
