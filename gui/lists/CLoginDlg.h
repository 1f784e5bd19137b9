// The login at start: a member chooses or types a name and gives the password. After five wrong tries
// in a row it waits before it looks at the next (LoginBackoff), and says how long.
#pragma once

#include "lists/LoginBackoff.h"

#include <QDialog>

class CTintedComboBox;
class QLineEdit;

class CLoginDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CLoginDlg(QWidget *parent = nullptr, LoginBackoff &backoff = LoginBackoff::OfTheRun());
    // The member logged in; empty until 确定 accepted a name and its password.
    QString Member() const { return m_strMember; }
    void OnOK();
    void OnCancel();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    LoginBackoff &m_backoff;
    QString m_strMember;
    QString m_strError;
    CTintedComboBox *m_member;
    QLineEdit *m_password;
};
