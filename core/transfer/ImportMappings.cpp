// Import mappings kept as name/entry pairs (a list rather than keys, since a name may hold any character).
#include "ImportMappings.h"

#include "common/Paths.h"
#include "transfer/MoneyImport.h"

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

void WriteMappings(QSettings &file, const QString &key, const QHash<QString, QString> &mappings)
{
    QHash<QString, QString> kept = ReadMappings(file, key);
    kept.insert(mappings);
    QStringList pairs;
    for (auto mapping = kept.cbegin(); mapping != kept.cend(); ++mapping)
        pairs << mapping.key() << mapping.value();
    file.setValue(key, pairs);
}

} // namespace

void RecallImportMappings(CMoneyImport &plan)
{
    QSettings remembered(MappingsFile(), QSettings::IniFormat);
    plan.RememberMappings(ReadMappings(remembered, QStringLiteral("items")), ReadMappings(remembered, QStringLiteral("members")));
}

void KeepImportMappings(const CMoneyImport &plan)
{
    QSettings remembered(MappingsFile(), QSettings::IniFormat);
    WriteMappings(remembered, QStringLiteral("items"), plan.ItemMappings());
    WriteMappings(remembered, QStringLiteral("members"), plan.MemberMappings());
    remembered.sync();
}
