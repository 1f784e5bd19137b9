// Asset rules.
#include "ArticleRules.h"

#include "common/Amount.h"
#include "entry/NumberRules.h"

#include <QSet>
#include <cmath>
#include <limits>

namespace {

QString KindOf(const QString &entry)
{
    const int blank = int(entry.indexOf(QLatin1Char(' ')));
    return blank < 0 ? entry : entry.left(blank);
}

QString NameOf(const QString &entry)
{
    const int blank = int(entry.indexOf(QLatin1Char(' ')));
    return blank < 0 ? QString() : entry.mid(blank + 1);
}

} // namespace

QStringList ArticleKinds(const QStringList &kindList)
{
    QStringList kinds;
    QSet<QString> seen;
    for (const QString &entry : kindList) {
        const QString kind = KindOf(entry);
        if (!seen.contains(kind)) {
            seen.insert(kind);
            kinds.append(kind);
        }
    }
    return kinds;
}

QStringList ArticleNames(const QStringList &kindList, const QString &kind)
{
    QStringList names;
    for (const QString &entry : kindList) {
        if (kind.isEmpty() || KindOf(entry) == kind)
            names.append(NameOf(entry));
    }
    return names;
}

QString CheckArticle(ArticleEntry *entry)
{
    const QString wrongCost = QStringLiteral(" 物品成本输入错误");  // the value's form is told with the cost's message
    if (entry->name.isEmpty())
        return QStringLiteral(" 请输入物品名称");
    if (entry->quantity.isEmpty())
        return QStringLiteral(" 请输入物品数量");
    if (entry->quantity == QLatin1String("0"))
        return QStringLiteral(" 物品数量不可为零");
    if (entry->quantity.toLongLong() > std::numeric_limits<qint16>::max())
        return QStringLiteral(" 物品数量不能大于 32767");  // the column holds 16-bit numbers
    if (entry->cost.isEmpty())
        return QStringLiteral(" 请输入物品成本");
    QString refused = CheckUnsignedAmount(&entry->cost, wrongCost);
    if (!refused.isEmpty())
        return refused;
    if (entry->value.isEmpty())
        return QStringLiteral(" 请输入物品估值");
    refused = CheckUnsignedAmount(&entry->value, wrongCost);
    if (!refused.isEmpty())
        return refused;
    if (AtoF(entry->cost) == 0.0 && AtoF(entry->value) == 0.0)
        return QStringLiteral(" 成本与估值不可皆为零");
    return QString();
}
