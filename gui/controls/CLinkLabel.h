// A static text made a hyperlink: underlined, in link colours that follow the pointer, a hand
// cursor, a tooltip with its target, and a size that fits its text. Clicks reach the owner as clicked().
#pragma once

#include <QColor>
#include <QLabel>

class CLinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CLinkLabel(const QString &text = QString(), QWidget *parent = nullptr);

    void SetLinkColors(const QColor &normal, const QColor &visited, const QColor &hover);
    // The target; a label without text shows it. The label then fits its text again.
    void SetLinkTarget(const QString &target);
    QString GetLinkTarget() const { return m_target.isEmpty() ? text() : m_target; }
    void ClearHover();
    bool IsHovered() const { return m_bHovered; }
    QColor CurrentColor() const;
    // Fits the label to its text: a right-aligned label keeps its right edge, a centred one its centre,
    // others their left edge; a vertically centred one its middle, others their top.
    void AutoSize();

    // Opens a URL or "mailto:" target with the desktop's handler; false when nothing could open it.
    static bool OpenLinkTarget(const QString &target);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ApplyColor();
    QString m_target;
    QColor m_normal{0, 0, 238};
    QColor m_visited{85, 26, 139};
    QColor m_hover;
    bool m_bHovered = false;
    bool m_bVisited = false;
};
