// Preview lines of an import.
#include "ImportPreview.h"

#include "transfer/MoneyImport.h"

#include <optional>

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
        if (read.kind == BillRow::Kind::Record && plan.IsDuplicate(row)) {
            fields << QStringLiteral("跳过") << QString() << QString() << QString() << QString() << QString()
                   << QStringLiteral("已有相同记录");
        } else if (read.kind == BillRow::Kind::Record) {
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

bool UseLayoutNamed(CMoneyImport &plan, const QString &name, QString *problem)
{
    static const QList<std::pair<const char *, BillPreset>> kNames{{"wechat", BillPreset::WeChat}, {"alipay", BillPreset::Alipay},
                                                                   {"zarvel", BillPreset::Zarvel}, {"qif", BillPreset::Qif},
                                                                   {"ofx", BillPreset::Ofx}};
    std::optional<BillPreset> wanted;
    QStringList known;
    for (const auto &[latin, preset] : kNames) {
        known << QString::fromLatin1(latin);
        if (name.compare(QLatin1String(latin), Qt::CaseInsensitive) == 0 || name == BillPresetName(preset))
            wanted = preset;
    }
    if (!wanted) {
        *problem = QStringLiteral("没有名为 %1 的格式；可用的格式：%2").arg(name, known.join(QStringLiteral("、")));
        return false;
    }
    constexpr int kLookedAt = 40;  // as far as a header is looked for
    for (int r = 0; r < plan.Records().size() && r < kLookedAt; ++r) {
        const BillLayout layout = GuessColumnsAt(plan.Records(), r);
        if (layout.preset == *wanted) {
            plan.SetLayout(layout);
            return true;
        }
    }
    *problem = QStringLiteral("文件中找不到%1的表头").arg(BillPresetName(*wanted));
    return false;
}
