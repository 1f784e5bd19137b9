// Length limits counted as the ledger counts them, in GBK bytes.
#pragma once

#include "entry/NumberRules.h"

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;

// The field refuses text beyond the given number of GBK bytes.
void LimitGbkBytes(QLineEdit *field, int bytes);
void LimitGbkBytes(QPlainTextEdit *field, int bytes);

// The field keeps to the typing rule of its kind of number, at most maxLength characters.
void KeepNumberRule(QLineEdit *field, NumberKind kind, int maxLength = 18);

// Selects the entry equal to the stored text, else the first that begins with it; a text no entry
// matches is appended and selected, so the record keeps its own value; an empty text selects nothing.
void SelectStoredEntry(QComboBox *box, const QString &stored);

// Shows the date of a stored date text; a text that does not read as a date leaves the picker as it is.
void ShowStoredDate(QDateTimeEdit *picker, const QString &stored);
