// The home page's marquee: a segment label whose text moves sideways one pixel per tick and comes
// back in from the other side once it has left. Speed -1000 to 1000: positive moves left, negative
// right, 0 stops; a tick every 10000 / |speed| milliseconds. Mouse presses and releases reach the
// window behind it as if the banner were part of it.
#pragma once

#include "controls/CSegmentLabel.h"

#include <QTimer>

class CScrollBanner : public CSegmentLabel
{
    Q_OBJECT
public:
    explicit CScrollBanner(QWidget *parent = nullptr);

    // Values outside -1000 ... 1000 are ignored; 0 stops the banner.
    void SetScrollSpeed(int speed);
    int ScrollSpeed() const { return m_speed; }
    // Milliseconds between two ticks.
    int Period() const { return m_period; }
    bool IsRunning() const { return m_timer.isActive(); }
    // Where the first segment starts, from the left edge.
    int Offset() const { return m_offset; }

    // One pixel onwards, wrapping round once the text has left the strip.
    void Tick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void PassToParent(QMouseEvent *event);

    int m_speed = 0;
    int m_period = 100;
    int m_offset = 0;
    QTimer m_timer;
};
