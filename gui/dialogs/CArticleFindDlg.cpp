// Asset search.
#include "CArticleFindDlg.h"

#include "db/CArticleBook.h"

CArticleFindDlg::CArticleFindDlg(CArticleBook &book, QWidget *parent)
    : CColumnFindWindow(book, QStringLiteral("物品查找"),
                        {QStringLiteral("物品名称"), QStringLiteral("物品数量"), QStringLiteral("成本"),
                         QStringLiteral("估值"), QStringLiteral("备注")},
                        {1055, 1056, 1058, 1057, 1059}, parent)
{
}
