// The login at start: a member chooses or types a name and gives the password.
#pragma once

#include <QDialog>

class CMainDlg;
class CTintedComboBox;
class QLineEdit;

class CLoginDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CLoginDlg(CMainDlg *owner);
    void OnOK();
    void OnCancel();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    CMainDlg *m_pOwner;
    QString m_strError;
    CTintedComboBox *m_member;
    QLineEdit *m_password;
};
