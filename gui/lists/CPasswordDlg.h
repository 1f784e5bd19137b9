// Renames a member, changes its password, and switches the login at start. Passwords are kept as
// hashes, so the old one is typed, not shown; the new one follows it as it is typed until the member
// types a new one, so a rename alone keeps the password.
#pragma once

#include <QDialog>

class CTintedComboBox;
class QCheckBox;
class QLineEdit;

class CPasswordDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget *parent = nullptr);
    void OnOK();

private:
    void FillFromMember();
    QString m_strError;
    CTintedComboBox *m_oldName;
    QLineEdit *m_newName;
    QLineEdit *m_oldPassword;
    QLineEdit *m_newPassword;
    QLineEdit *m_confirmation;
    QCheckBox *m_needPassword;
    bool m_newFollowsOld = true;
};
