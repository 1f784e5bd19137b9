// Asset search.
#include "CArticleFindDlg.h"

#include "app/CMainDlg.h"

CArticleFindDlg::CArticleFindDlg(CMainDlg *owner)
    : CColumnFindWindow(owner, owner->m_articleBook, QStringLiteral("物品查找"),
                        {QStringLiteral("物品名称"), QStringLiteral("物品数量"), QStringLiteral("成本"),
                         QStringLiteral("估值"), QStringLiteral("备注")},
                        {1055, 1056, 1058, 1057, 1059})
{
}

void CArticleFindDlg::AfterStep()
{
    m_pOwner->RefreshArticlePanel();
}
