// 转入现金: a fixed-term deposit (人民币) moved into cash: an income "资金互转" recorded and the deposit
// deleted, in one transaction.
#pragma once

#include <QDialog>

class CAmountEdit;
class CDepositBook;
class CMoneyBook;
class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CTransferDlg : public QDialog
{
    Q_OBJECT
public:
    CTransferDlg(CDepositBook &deposits, CMoneyBook &money, QWidget *parent = nullptr);
    // "确定": true when the money was recorded, the deposit deleted and the dialog closed.
    bool SaveAndClose();

private:
    CDepositBook &m_deposits;
    CMoneyBook &m_money;
    double m_amountDue = 0;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_person;
    CAmountEdit *m_amount;
    QPlainTextEdit *m_note;
};
