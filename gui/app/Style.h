// The ledger's colours, shared by every window.
#pragma once

#include <QColor>

class QApplication;
class QWidget;

namespace LedgerColors {
const QColor kDialog(190, 210, 250);     // background of every dialog
const QColor kTint(230, 250, 255);       // edit fields, record lists, calendars, drop-down lists
const QColor kStatusText(0, 0, 255);     // status lines, page text, grand total
const QColor kHeadingText(0, 0, 100);    // heading 帐目一览 and the clock
const QColor kDisabledText(128, 128, 128); // captions and texts of controls that cannot be used
} // namespace LedgerColors

// Dialog background RGB(190,210,250) with black text, edit fields on the light tint, the 9-point
// face, and the icon theme of the buttons.
void ApplyLedgerStyle(QApplication *app);

// Gives a widget a text colour of its own.
void SetTextColor(QWidget *widget, const QColor &color);
