// Deletes household members, one at a time, each with its password.
#pragma once

#include <QDialog>

class CTintedComboBox;
class QLineEdit;

class CDeleteMemberDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CDeleteMemberDlg(QWidget *parent = nullptr);
    void OnOK();

private:
    void FillMembers();
    CTintedComboBox *m_member;
    QLineEdit *m_password;
};
