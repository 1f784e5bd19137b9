// Shared pieces of the member dialogs.
#include "MemberDialogs.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QDialog>
#include <QLineEdit>

void GuardReservedChar(QLineEdit *field)
{
    QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString &text) {
        QString cleaned = text;
        if (!RemoveFirstReservedChar(&cleaned))
            return;
        ShowMessage(kReservedCharMessage, QStringLiteral("错误"));
        field->setText(cleaned);  // itself a change: further '#' go one by one
    });
}

CIconButton *MakeDialogButton(QDialog *dialog, int id, const QString &caption, int icon)
{
    auto *button = new CIconButton(caption, dialog);
    button->setObjectName(QString::number(id));
    button->SetIcons(icon, 32, 32);
    button->SetLedgerColors();
    button->setMinimumSize(96, 38);
    return button;
}
