// The rules of the amount fields: what typing does to the text, and the checks before a save.
#pragma once

#include <QString>

// Whether a keystroke may reach an amount field: digits, backspace, '+', '-' and '.'.
bool IsAmountKey(QChar key);

// The text after a change of an amount field: cleared when it holds any other character or begins
// with '.', cut to maxLength characters.
QString AmountTextAfterChange(const QString &text, int maxLength = 18);

// The amount checks of the income and expense dialog, in order; the first failure's message (with its
// leading blank), or an empty text when the amount passes: empty, then the checks every amount field
// shares (CheckAmountField: zero to the cent, malformed, beyond kLargestAmount). A passing amount is
// rewritten as its cents.
QString CheckAmount(QString *amountText);

// An expense's amount carries a '-' in front unless it already has one anywhere.
QString SignedAmountText(const QString &amountText, bool expense);
