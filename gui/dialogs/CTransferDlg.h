// 转入现金: a fixed-term deposit (人民币) moved into cash: an income "资金互转" recorded and the deposit
// deleted, in one transaction.
#pragma once

#include <QDialog>

class CAmountEdit;
class CMainDlg;
class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CTransferDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CTransferDlg(CMainDlg *owner);
    // "确定": true when the money was recorded, the deposit deleted and the dialog closed.
    bool SaveAndClose();

private:
    CMainDlg *m_pOwner;
    double m_amountDue = 0;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_person;
    CAmountEdit *m_amount;
    QPlainTextEdit *m_note;
};
