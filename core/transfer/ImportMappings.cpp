// Import mappings kept as name/entry pairs (a list rather than keys, since a name may hold any character).
#include "ImportMappings.h"

#include "common/Paths.h"
#include "transfer/MoneyImport.h"

#include <QSet>
#include <QSettings>

namespace {

QString MappingsFile()
{
    return DataDirectory() + QStringLiteral("/Import.ini");
}

QHash<QString, QString> ReadMappings(QSettings &file, const QString &key)
{
    const QStringList pairs = file.value(key).toStringList();
    QHash<QString, QString> mappings;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
        mappings.insert(pairs.at(i), pairs.at(i + 1));
    return mappings;
}

void WriteMappings(QSettings &file, const QString &key, const QHash<QString, QString> &mappings,
                   const QSet<QString> &dropped = {})
{
    QHash<QString, QString> kept = ReadMappings(file, key);
    for (const QString &name : dropped)
        kept.remove(name);
    kept.insert(mappings);
    QStringList pairs;
    for (auto mapping = kept.cbegin(); mapping != kept.cend(); ++mapping)
        pairs << mapping.key() << mapping.value();
    file.setValue(key, pairs);
}

// A header's titles as one key: a character no title is written with joins them.
const QChar kTitleJoint(0x1F);

} // namespace

void RecallImportMappings(CMoneyImport &plan)
{
    QSettings remembered(MappingsFile(), QSettings::IniFormat);
    plan.RememberMappings(ReadMappings(remembered, QStringLiteral("items")), ReadMappings(remembered, QStringLiteral("members")));
    plan.RememberRules(ReadMappings(remembered, QStringLiteral("counterpartyItems")),
                       ReadMappings(remembered, QStringLiteral("counterpartyMembers")));
    QList<CMoneyImport::KnownLayout> layouts;
    const QHash<QString, QString> kept = ReadMappings(remembered, QStringLiteral("layouts"));
    for (auto layout = kept.cbegin(); layout != kept.cend(); ++layout) {
        CMoneyImport::KnownLayout known{layout.key().split(kTitleJoint), BillLayout()};
        if (ReadBillLayoutText(layout.value(), &known.layout))  // a line edited by hand out of shape is passed over
            layouts.append(known);
    }
    plan.RememberLayouts(layouts);
}

void KeepImportMappings(const CMoneyImport &plan)
{
    QSettings remembered(MappingsFile(), QSettings::IniFormat);
    WriteMappings(remembered, QStringLiteral("items"), plan.ItemMappings());
    WriteMappings(remembered, QStringLiteral("members"), plan.MemberMappings());
    WriteMappings(remembered, QStringLiteral("counterpartyItems"), plan.RuleItems(), plan.DroppedRules());
    WriteMappings(remembered, QStringLiteral("counterpartyMembers"), plan.RuleMembers(), plan.DroppedRules());
    const CMoneyImport::KnownLayout layout = plan.LayoutToKeep();
    if (!layout.titles.isEmpty()) {
        const QString key = layout.titles.join(kTitleJoint);
        if (layout.layout.headerRow < 0)
            WriteMappings(remembered, QStringLiteral("layouts"), {}, {key});
        else
            WriteMappings(remembered, QStringLiteral("layouts"), {{key, BillLayoutText(layout.layout)}});
    }
    remembered.sync();
}
