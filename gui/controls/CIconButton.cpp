// Drawing and hover tracking of the icon button.
#include "CIconButton.h"

#include "controls/LedgerIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPen>

CIconButton::CIconButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    const QPalette palette = QApplication::palette();
    m_normalBack = palette.color(QPalette::Button);
    m_normalText = palette.color(QPalette::ButtonText);
    m_hoverBack = m_normalBack;
    m_hoverText = m_normalText;
    setAutoDefault(false);  // Return never presses a button of the ledger's windows
    setAttribute(Qt::WA_Hover);
}

void CIconButton::SetIcons(int iconNumber, int width, int height)
{
    setIcon(LedgerIcon(iconNumber));
    m_iconSize = QSize(width, height);
    update();
}

void CIconButton::SetNormalBackColor(const QColor &color, bool repaint)
{
    m_normalBack = color;
    if (repaint)
        update();
}

void CIconButton::SetHoverBackColor(const QColor &color, bool repaint)
{
    m_hoverBack = color;
    if (repaint)
        update();
}

void CIconButton::SetHoverTextColor(const QColor &color, bool repaint)
{
    m_hoverText = color;
    if (repaint)
        update();
}

void CIconButton::SetFlatStyle(bool flat)
{
    m_bFlat = flat;
    update();
}

void CIconButton::SetLedgerColors()
{
    SetHoverBackColor(QColor(160, 180, 220));
    SetNormalBackColor(QColor(190, 210, 250));
    SetHoverTextColor(QColor(0, 0, 255));
}

void CIconButton::enterEvent(QEnterEvent *event)
{
    if (m_bFlat) {
        m_bHovered = true;
        update();
    }
    QPushButton::enterEvent(event);
}

void CIconButton::leaveEvent(QEvent *event)
{
    m_bHovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void CIconButton::focusOutEvent(QFocusEvent *event)
{
    if (m_bFlat)
        m_bHovered = false;
    update();
    QPushButton::focusOutEvent(event);
}

void CIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect rect = this->rect();
    const bool pressed = isDown() || isChecked();
    const bool hovered = m_bHovered && isEnabled();  // a button that cannot be pressed never lights up
    const bool hoverLook = hovered || pressed;
    const QPalette palette = this->palette();

    if (!m_bFlat && hasFocus()) {
        painter.setPen(Qt::black);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        rect.adjust(1, 1, -1, -1);
    }
    painter.fillRect(rect, hoverLook ? m_hoverBack : m_normalBack);

    const QColor light = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    const QColor darkShadow = palette.color(QPalette::Shadow);
    const QColor highlight = Qt::white;
    auto edges = [&](const QRect &r, const QColor &topLeft, const QColor &bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    const QRect outer = rect.adjusted(0, 0, -1, -1);
    if (pressed && !m_bFlat) {
        painter.setPen(shadow);
        painter.drawRect(outer);
    } else if (pressed) {
        edges(outer, shadow, highlight);
    } else if (!m_bFlat) {
        edges(outer, highlight, darkShadow);
        edges(outer.adjusted(1, 1, -1, -1), light, shadow);
    } else if (hovered) {
        edges(outer, highlight, shadow);
    }

    const int shift = pressed ? 1 : 0;
    // The icon keeps its size where it fits and shrinks to the button's height where it does not.
    const int side = std::min({m_iconSize.width(), m_iconSize.height(), rect.height() - 2});
    QRect captionArea = rect;
    if (!icon().isNull() && side > 0) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pixmap = icon().pixmap(QSize(side, side), devicePixelRatioF(), mode);
        QPoint at;
        if (text().isEmpty()) {
            at = QPoint(rect.center().x() - side / 2 + 1, rect.center().y() - side / 2 + 1);
        } else {
            at = QPoint(rect.left() + 3, rect.center().y() - side / 2 + 1);
            captionArea.setLeft(rect.left() + 3 + side);
        }
        painter.drawPixmap(at + QPoint(shift, shift), pixmap);
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(isEnabled() ? (hoverLook ? m_hoverText : m_normalText)
                                   : palette.color(QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(captionArea.translated(shift, shift), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (hasFocus()) {
        // Space presses the button that has the focus: it is marked, flat or not, with a dotted frame
        // 3 pixels inside the edge, drawn here because the style draws its own only after Tab was used.
        QPen dotted(isEnabled() ? m_hoverText : palette.color(QPalette::Disabled, QPalette::ButtonText));
        dotted.setStyle(Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        const QRect inner = this->rect().adjusted(3, 3, -4, -4);
        if (inner.width() > 0 && inner.height() > 0)
            painter.drawRect(inner);
    }
}
