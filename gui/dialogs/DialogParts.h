// The pieces the small dialogs are built from: their buttons, text fields and layout, and the '#' guard.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

class CIconButton;
class CTintedComboBox;
class QComboBox;
class QDateTimeEdit;
class QDialog;
class QGridLayout;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// A button with its icon and the ledger's colours; without a caption it is a small icon button.
CIconButton *MakeDialogButton(QDialog *dialog, int id, const QString &caption, int icon);

// A one-line field limited to a number of GBK bytes; secret fields show their text masked.
QLineEdit *MakeTextField(QDialog *dialog, int id, int bytes);
// A member password: hidden as it is typed, at most kPasswordCharacters characters of any script.
QLineEdit *MakePasswordField(QDialog *dialog, int id);

// A multi-line note field of the given height, limited to a number of GBK bytes. Tab and Shift+Tab move
// on to the next or previous field, as in every other field: a note holds no tab typed by accident.
QPlainTextEdit *MakeNoteField(QDialog *dialog, int id, int bytes, int height = 60);

// Labelled rows above a row of buttons, right-aligned.
void LayOutForm(QDialog *dialog, const QList<QPair<QString, QWidget *>> &rows, const QList<QWidget *> &buttons);

// The '#' guard of a name or password field: a typed or pasted '#' is announced and removed, one at a time.
void GuardReservedChar(QLineEdit *field);

// The date picker of the entry dialogs: "yyyy-MM-dd", today with the time of day it was made, a
// drop-down calendar on the light tint.
QDateTimeEdit *MakeDatePicker(QDialog *dialog, int id);

// A drop-down list of the entries, the first chosen (none when there are none).
CTintedComboBox *MakeChoiceList(QDialog *dialog, int id, const QStringList &entries);

// A drop-down list of the household's members, the first chosen. A household without members sees a
// grey hint there saying where members are added: nothing can be chosen until one is.
CTintedComboBox *MakeMemberList(QDialog *dialog, int id);
// Fills a member list again from the member list (after a member was added or deleted), the first chosen.
void FillMemberList(QComboBox *box);
// The hint an empty member list shows.
extern const QString kNoMemberHint;

// The dialog's fields above its row of buttons: right-aligned, or from the left edge.
void StackFieldsAndButtons(QDialog *dialog, QLayout *fields, const QList<QWidget *> &buttons, bool rightAligned = true);

// A label and its field side by side in a grid: the label at the column, the field right of it.
void AddLabelledField(QGridLayout *grid, int row, int column, const QString &label, QWidget *field);
// A multi-line field in a grid row: its label at the top left, the field over span columns right of it.
void AddLabelledNote(QGridLayout *grid, int row, const QString &label, QWidget *note, int span = 1);
