// Application-wide palette.
#include "Style.h"

#include <QApplication>
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
    app->setPalette(palette);
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}
