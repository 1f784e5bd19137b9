// 物品查找: a modeless search over the asset list — a column, a text, the first match and the next
// ones. One exists at a time (its panel's); it goes when cancelled or when the asset panel is left.
#pragma once

#include "dialogs/CFindWindow.h"

class CArticleBook;

class CArticleFindDlg : public CColumnFindWindow
{
    Q_OBJECT
public:
    explicit CArticleFindDlg(CArticleBook &book, QWidget *parent = nullptr);
};
