// Keystroke filter of the amount field; pasted text is judged by the owner's change rule.
#include "CAmountEdit.h"

#include "entry/AmountRules.h"

#include <QKeyEvent>

CAmountEdit::CAmountEdit(QWidget *parent) : QLineEdit(parent) {}

void CAmountEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    // Keys without text (arrows, Home, Delete, shortcuts) keep their usual work.
    if (text.size() == 1 && text.at(0).isPrint() && !IsAmountKey(text.at(0))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
