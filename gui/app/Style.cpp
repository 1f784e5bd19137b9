// Application-wide palette.
#include "Style.h"

#include "controls/LedgerIcons.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QWidget>

void ApplyLedgerStyle(QApplication *app)
{
    app->setStyle(QStringLiteral("Fusion"));
    QPalette palette = app->palette();
    palette.setColor(QPalette::Window, LedgerColors::kDialog);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Base, LedgerColors::kTint);
    palette.setColor(QPalette::AlternateBase, LedgerColors::kTint);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Button, LedgerColors::kDialog);
    palette.setColor(QPalette::ButtonText, Qt::black);
    // What cannot be used reads grey: the colours above were set for every state, disabled included.
    for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, LedgerColors::kDisabledText);
    // A field that cannot be used shows the dialog's own colour, not the tint of a field to type in.
    palette.setColor(QPalette::Disabled, QPalette::Base, LedgerColors::kDialog);
    app->setPalette(palette);
    // The 9-point face of the window layout: 12 pixels, 6 per byte of GBK text.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    app->setFont(font);
    SetupIconTheme();
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}
