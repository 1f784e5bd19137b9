// Byte limits on edit fields.
#include "FieldLimits.h"

#include "common/Gbk.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QString CutToBytes(const QString &text, int bytes)
{
    QString kept;
    int used = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int width = GbkLength(text.mid(i, 1));
        if (used + width > bytes)
            break;
        used += width;
        kept += text.at(i);
    }
    return kept;
}

} // namespace

void LimitGbkBytes(QLineEdit *field, int bytes)
{
    field->setMaxLength(bytes);
    QObject::connect(field, &QLineEdit::textChanged, field, [field, bytes](const QString &text) {
        if (GbkLength(text) > bytes)
            field->setText(CutToBytes(text, bytes));
    });
}

void LimitGbkBytes(QPlainTextEdit *field, int bytes)
{
    QObject::connect(field, &QPlainTextEdit::textChanged, field, [field, bytes] {
        const QString text = field->toPlainText();
        if (GbkLength(text) > bytes) {
            field->setPlainText(CutToBytes(text, bytes));
            field->moveCursor(QTextCursor::End);
        }
    });
}
