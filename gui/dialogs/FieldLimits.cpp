// Byte limits on edit fields.
#include "FieldLimits.h"

#include "common/Gbk.h"
#include "common/LedgerDate.h"
#include "entry/EntryChoice.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

void LimitGbkBytes(QLineEdit *field, int bytes)
{
    field->setMaxLength(bytes);
    QObject::connect(field, &QLineEdit::textChanged, field, [field, bytes](const QString &text) {
        if (GbkLength(text) > bytes)
            field->setText(CutToGbkBytes(text, bytes));
    });
}

void LimitGbkBytes(QPlainTextEdit *field, int bytes)
{
    QObject::connect(field, &QPlainTextEdit::textChanged, field, [field, bytes] {
        const QString text = field->toPlainText();
        if (GbkLength(text) > bytes) {
            field->setPlainText(CutToGbkBytes(text, bytes));
            field->moveCursor(QTextCursor::End);
        }
    });
}

void KeepNumberRule(QLineEdit *field, NumberKind kind, int maxLength)
{
    field->setMaxLength(maxLength);
    QObject::connect(field, &QLineEdit::textChanged, field, [field, kind, maxLength](const QString &text) {
        const QString kept = NumberTextAfterTyping(text, kind, maxLength);
        if (kept != text)
            field->setText(kept);
    });
}

void SelectStoredEntry(QComboBox *box, const QString &stored)
{
    if (stored.isEmpty()) {
        box->setCurrentIndex(-1);  // nothing was stored: nothing is chosen (every entry begins with "")
        return;
    }
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries.append(box->itemText(i));
    int chosen = ChooseEntry(entries, stored);
    if (chosen < 0 && !stored.isEmpty()) {
        box->addItem(stored);
        chosen = box->count() - 1;
    }
    box->setCurrentIndex(chosen);
}

void ShowStoredDate(QDateTimeEdit *picker, const QString &stored)
{
    const QDateTime date = ParseDateText(stored);
    if (date.isValid())
        picker->setDate(date.date());
}
