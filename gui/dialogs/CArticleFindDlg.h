// 物品查找: a modeless search over the asset list — a column, a text, the first match and the next
// ones. One exists at a time (g_pArticleFind); it goes when cancelled or when the asset panel is left.
#pragma once

#include <QDialog>

class CIconButton;
class CMainDlg;
class CTintedComboBox;
class QLineEdit;

class CArticleFindDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CArticleFindDlg(CMainDlg *owner);
    ~CArticleFindDlg() override;

    void Find();
    void FindNext();

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CMainDlg *m_pOwner;
    CTintedComboBox *m_column;
    QLineEdit *m_text;
    CIconButton *m_next;
};
