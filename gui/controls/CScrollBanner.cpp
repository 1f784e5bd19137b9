// The scrolling banner.
#include "CScrollBanner.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

CScrollBanner::CScrollBanner(QWidget *parent) : CSegmentLabel(parent)
{
    setCursor(Qt::ArrowCursor);
    // Ticks arrive on the interface thread, as every drawing does.
    connect(&m_timer, &QTimer::timeout, this, &CScrollBanner::Tick);
}

void CScrollBanner::SetScrollSpeed(int speed)
{
    if (speed < -1000 || speed > 1000)
        return;
    if (speed == 0) {
        m_timer.stop();
        m_speed = 0;
        return;
    }
    m_speed = speed;
    m_period = std::abs(10000 / speed);
    m_timer.start(m_period);
}

void CScrollBanner::Tick()
{
    if (SegmentCount() == 0 || m_speed == 0)
        return;
    const int total = TotalWidth();
    if (m_speed > 0) {
        --m_offset;
        if (m_offset + total - 1 < 0) {
            m_offset = width();  // gone past the left edge: back in from the right
            update();
            return;
        }
        scroll(-1, 0);
    } else {
        ++m_offset;
        if (m_offset > width()) {
            m_offset = -total;  // gone past the right edge: back in from the left
            update();
            return;
        }
        scroll(1, 0);
    }
}

void CScrollBanner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setClipRect(rect());
    DrawSegments(painter, m_offset);
}

void CScrollBanner::resizeEvent(QResizeEvent *event)
{
    CSegmentLabel::resizeEvent(event);
    if (m_speed != 0)
        m_period = std::abs(10000 / m_speed);
    update();
}

void CScrollBanner::PassToParent(QMouseEvent *event)
{
    QWidget *parent = parentWidget();
    if (!parent) {
        event->ignore();
        return;
    }
    const QPointF at = mapTo(parent, event->position().toPoint());
    QMouseEvent passed(event->type(), at, event->globalPosition(), event->button(), event->buttons(), event->modifiers());
    QApplication::sendEvent(parent, &passed);
    event->accept();
}

void CScrollBanner::mousePressEvent(QMouseEvent *event)
{
    PassToParent(event);
}

void CScrollBanner::mouseReleaseEvent(QMouseEvent *event)
{
    PassToParent(event);
}
