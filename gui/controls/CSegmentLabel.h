// A one-line label of coloured text segments, each with its own text colour, background and style,
// drawn one after the other in a face as tall as the label.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

struct TextSegment
{
    QString text;
    // The low 24 bits are the text colour (red in the lowest byte, then green, then blue); bit 25
    // makes the segment italic and bit 26 underlined.
    quint32 color = 0;
    // The background colour in the same form; -1 for the label's own background.
    qint64 background = -1;

    static constexpr quint32 kItalic = 1u << 25;
    static constexpr quint32 kUnderline = 1u << 26;
    // A colour word from its parts.
    static quint32 Color(int red, int green, int blue, quint32 style = 0)
    {
        return quint32(red & 0xff) | quint32(green & 0xff) << 8 | quint32(blue & 0xff) << 16 | style;
    }
    QColor TextColor() const { return QColor(int(color & 0xff), int(color >> 8 & 0xff), int(color >> 16 & 0xff)); }
    bool IsItalic() const { return color & kItalic; }
    bool IsUnderlined() const { return color & kUnderline; }
};

class CSegmentLabel : public QWidget
{
    Q_OBJECT
public:
    explicit CSegmentLabel(QWidget *parent = nullptr);

    int SegmentCount() const { return int(m_segments.size()); }
    // Replaces the segment at the index, or appends at the count; false for another index or an
    // empty text.
    virtual bool SetSegment(int index, const TextSegment &segment);
    // A copy; out of range: an empty segment of colour 0 on the label's background.
    virtual TextSegment GetSegment(int index) const;
    virtual bool AddSegment(const QString &text, quint32 color, qint64 background);
    virtual bool AppendSegment(const TextSegment &segment);
    virtual bool RemoveSegment(int index);
    virtual void RemoveAllSegments();

    // The label's background (-1: the window's button colour).
    void SetBackColor(qint64 color);
    QColor BackColor() const;

    // The face a segment is drawn in: the label's font, as tall as the label, italic and underlined
    // as its bits say.
    QFont SegmentFont(const TextSegment &segment) const;
    // The width of all segments side by side.
    int TotalWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Draws the segments from x onwards.
    void DrawSegments(QPainter &painter, int x) const;

private:
    std::vector<TextSegment> m_segments;
    qint64 m_background = -1;
};
