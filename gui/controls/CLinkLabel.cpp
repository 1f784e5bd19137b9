// Link label behaviour.
#include "CLinkLabel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

CLinkLabel::CLinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    m_hover = QApplication::palette().color(QPalette::Highlight);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setToolTip(GetLinkTarget());
    ApplyColor();
}

void CLinkLabel::SetLinkColors(const QColor &normal, const QColor &visited, const QColor &hover)
{
    m_normal = normal;
    m_visited = visited;
    m_hover = hover.isValid() ? hover : QApplication::palette().color(QPalette::Highlight);
    ApplyColor();
}

void CLinkLabel::SetLinkTarget(const QString &target)
{
    m_target = target;
    setToolTip(GetLinkTarget());
}

void CLinkLabel::ClearHover()
{
    m_bHovered = false;
    ApplyColor();
}

bool CLinkLabel::OpenLinkTarget(const QString &target)
{
    return QDesktopServices::openUrl(QUrl(target));
}

void CLinkLabel::ApplyColor()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, m_bHovered ? m_hover : (m_bVisited ? m_visited : m_normal));
    setPalette(palette);
}

void CLinkLabel::enterEvent(QEnterEvent *event)
{
    m_bHovered = true;
    ApplyColor();
    QLabel::enterEvent(event);
}

void CLinkLabel::leaveEvent(QEvent *event)
{
    ClearHover();
    QLabel::leaveEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
