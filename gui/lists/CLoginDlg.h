// The login at start: a member chooses or types a name and gives the password.
#pragma once

#include <QDialog>

class CTintedComboBox;
class QLineEdit;

class CLoginDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CLoginDlg(QWidget *parent = nullptr);
    // The member logged in; empty until 确定 accepted a name and its password.
    QString Member() const { return m_strMember; }
    void OnOK();
    void OnCancel();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_strMember;
    QString m_strError;
    CTintedComboBox *m_member;
    QLineEdit *m_password;
};
