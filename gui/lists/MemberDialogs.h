// Small helpers shared by the member dialogs.
#pragma once

class QDialog;
class QLineEdit;
class CIconButton;
class QString;

// The '#' guard of a name or password field: a typed or pasted '#' is announced and removed, one at a time.
void GuardReservedChar(QLineEdit *field);

// An OK/cancel style button of the member dialogs, with its icon and the ledger's colours.
CIconButton *MakeDialogButton(QDialog *dialog, int id, const QString &caption, int icon);
