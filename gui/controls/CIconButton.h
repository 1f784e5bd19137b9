// The push button of the whole interface: an icon beside (or, without caption, in place of) its
// caption, a normal and a hover colour pair, and in its flat style no border until the pointer is over it.
#pragma once

#include <QColor>
#include <QPushButton>

class CIconButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CIconButton(const QString &caption = QString(), QWidget *parent = nullptr);

    // The icon of the number at the given size (shrunk to fit a lower button).
    void SetIcons(int iconNumber, int width = 32, int height = 32);
    void SetNormalBackColor(const QColor &color, bool repaint = true);
    void SetHoverBackColor(const QColor &color, bool repaint = true);
    void SetHoverTextColor(const QColor &color, bool repaint = true);
    void SetFlatStyle(bool flat);

    // The main window's three colours: hover RGB(160,180,220), normal RGB(190,210,250), hover text blue.
    void SetLedgerColors();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QSize m_iconSize{32, 32};
    QColor m_normalBack;
    QColor m_normalText;
    QColor m_hoverBack;
    QColor m_hoverText;
    bool m_bFlat = true;
    bool m_bHovered = false;
};
