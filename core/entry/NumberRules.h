// The typing rules and format checks of the number fields of the entry dialogs (rates, amounts,
// quantities), as one family: each field says which kind of number it holds.
#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

enum class NumberKind {
    Unsigned,  // rates, deposits, costs: no sign, no leading point
    Whole,     // quantities: digits only
    Signed,    // insurance and credit amounts: a sign may stand first, no leading point
    Any        // a searched amount: only foreign characters and the length are refused
};

// The text after a change of a number field: cleared when it holds a character other than a digit,
// '+', '-' or '.'; cut to maxLength; then, for the kinds that refuse them, characters go from the end
// while the text holds a sign (Unsigned, Whole), a point (Whole) or begins with '.' (all but Any).
QString NumberTextAfterTyping(const QString &text, NumberKind kind, int maxLength = 18);

// Whether the text is a well-formed number of the field: at most one point, a sign only first, no
// point first or last. The checks of each dialog say which message a malformed text gets.
bool IsWellFormedNumber(const QString &text);

// An amount rounded to the cent, half away from zero on its decimal value (3694.905 -> 3694.91,
// 1211.115 -> 1211.12, where "%.2f" on the binary value rounds the first down), as TrimAmount writes it;
// a figure beyond the largest amount is written by TrimAmount as it is.
QString CentsText(double amount);

// The amount checks the savings and later entry fields share, after their emptiness check: zero to the
// cent (zeroMessage), malformed (wrongMessage), beyond the largest amount. Empty when it passes.
// A passing amount is rewritten as its cents (TrimAmount: "007" -> 7, "+500" -> 500, 12.345 -> 12.35),
// the text the list shows for it and a search finds, now and after the ledger is opened again.
QString CheckAmountField(QString *amount, const QString &zeroMessage, const QString &wrongMessage);

// The same for an amount that cannot be negative (a cost, a policy's sums), zero allowed: malformed or
// beginning with '-' (wrongMessage), beyond the largest amount; a passing amount is rewritten as its cents.
QString CheckUnsignedAmount(QString *amount, const QString &wrongMessage);

// The amount of money going out: a '-' in front unless the text holds one already, in place of a
// leading '+' ("+500" -> "-500", where "-+500" would read as nothing).
QString NegatedAmountText(const QString &amount);

// The message of the first field left empty, in the order given ({text, message} pairs); empty when
// every field holds something. The checks of the entry dialogs begin with these.
QString FirstEmptyField(std::initializer_list<std::pair<QString, QString>> fields);
