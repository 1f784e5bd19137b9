// Adds a household member with a password.
#pragma once

#include <QDialog>

class QLineEdit;

class CAddMemberDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAddMemberDlg(QWidget *parent = nullptr);
    void OnOK();

private:
    QLineEdit *m_name;
    QLineEdit *m_password;
    QLineEdit *m_confirmation;
};
