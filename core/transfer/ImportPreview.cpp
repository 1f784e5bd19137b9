// Preview lines of an import.
#include "ImportPreview.h"

#include "transfer/MoneyImport.h"

namespace {

QString Field(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

QStringList ImportPreviewLines(const CMoneyImport &plan)
{
    QStringList lines;
    for (qsizetype row = 0; row < plan.RowCount(); ++row) {
        const BillRow &read = plan.Row(row);
        QStringList fields{QString::number(plan.FileRecordOf(row))};
        if (read.kind == BillRow::Kind::Record) {
            const MoneyEntry entry = plan.EntryOf(row);
            QStringList told{read.reason, plan.NoteWarning(row)};
            told.removeAll(QString());
            fields << QStringLiteral("记录") << entry.date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << Field(entry.item)
                   << QString::number(entry.amount, 'f', 2) << Field(entry.member) << Field(entry.explain)
                   << Field(told.join(QStringLiteral("；")));
        } else {
            fields << (read.kind == BillRow::Kind::Skipped ? QStringLiteral("跳过") : QStringLiteral("拒绝")) << QString()
                   << QString() << QString() << QString() << QString() << Field(read.reason);
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines;
}
