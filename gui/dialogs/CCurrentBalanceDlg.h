// The balance of every demand savings account in one currency, and 销户: closing an account by
// deleting all its movements.
#pragma once

#include <QDialog>

class CIconButton;
class CCurrentBook;
class CTintedComboBox;
class QTreeWidget;

class CCurrentBalanceDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CCurrentBalanceDlg(CCurrentBook &book, QWidget *parent = nullptr);

    // Lists the balances in the currency chosen; the chosen row stays chosen where the list is long enough.
    void ShowBalances();
    void ChooseRow(int row);
    int ChosenRow() const { return m_chosen; }
    // "销户" on the chosen row, after the question.
    void CloseChosenAccount();

private:
    CCurrentBook &m_book;
    QTreeWidget *m_list;
    CTintedComboBox *m_currency;
    CIconButton *m_close;
    int m_chosen = -1;
};
