// The rules of the asset entry: the kinds and names of the asset-kind list, and the checks before a save.
#pragma once

#include <QString>
#include <QStringList>

// The distinct kinds of "kind name" entries, in order of first appearance.
QStringList ArticleKinds(const QStringList &kindList);
// The names of the entries of a kind (every name for an empty kind), in list order.
QStringList ArticleNames(const QStringList &kindList, const QString &kind = QString());

struct ArticleEntry
{
    QString name, quantity, cost, value;
};
// The checks in order: the first failure's message (leading blank), or empty. The quantity is a whole
// number the ledger can store (up to 32767); cost and value pass the savings amount rules and are
// rewritten as their cents.
QString CheckArticle(ArticleEntry *entry);
