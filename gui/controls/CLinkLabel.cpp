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
    if (text().isEmpty())
        setText(target);
    setToolTip(GetLinkTarget());
    AutoSize();
}

void CLinkLabel::AutoSize()
{
    const QSize fits = fontMetrics().size(Qt::TextSingleLine, text());
    QRect place = geometry();
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter) {
        const int middle = place.center().y();
        place.setHeight(fits.height());
        place.moveTop(middle - fits.height() / 2);
    } else {
        place.setHeight(fits.height());
    }
    if (align & Qt::AlignRight) {
        const int right = place.right();
        place.setWidth(fits.width());
        place.moveRight(right);
    } else if (align & Qt::AlignHCenter) {
        const int centre = place.center().x();
        place.setWidth(fits.width());
        place.moveLeft(centre - fits.width() / 2);
    } else {
        place.setWidth(fits.width());
    }
    setGeometry(place);
}

QColor CLinkLabel::CurrentColor() const
{
    return palette().color(QPalette::WindowText);
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

void CLinkLabel::focusOutEvent(QFocusEvent *event)
{
    ClearHover();
    QLabel::focusOutEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
