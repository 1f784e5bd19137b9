// Login dialog.
#include "CLoginDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/DialogParts.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>

CLoginDlg::CLoginDlg(QWidget *parent, LoginBackoff &backoff) : QDialog(parent), m_backoff(backoff)
{
    setWindowTitle(QStringLiteral("家庭成员登录"));
    m_member = new CTintedComboBox(this);
    m_member->setObjectName(QStringLiteral("1063"));
    m_member->setEditable(true);
    m_member->setInsertPolicy(QComboBox::NoInsert);
    QStringList names = MemberNames();
    names.sort();  // the list is sorted
    m_member->addItems(names);
    m_member->setCurrentIndex(-1);
    m_member->setEditText(QString());
    m_password = MakePasswordField(this, 1064);
    auto *ok = MakeDialogButton(this, 1067, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1066, QStringLiteral("取消"), 183);
    connect(ok, &QPushButton::clicked, this, &CLoginDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &CLoginDlg::OnCancel);

    LayOutForm(this, {{QStringLiteral("家庭成员"), m_member}, {QStringLiteral("密    码"), m_password}}, {ok, cancel});
    setMinimumWidth(300);
}

void CLoginDlg::OnOK()
{
    const QString name = m_member->currentText();
    QString notice;
    m_strError = m_backoff.Try([&] { return CheckLogin(name, m_password->text(), &notice); },
                               [](const QString &error) { return IsWrongGuess(error); });
    if (!m_strError.isEmpty()) {
        ShowMessage(m_strError, QStringLiteral("错误"));
        return;
    }
    if (!notice.isEmpty())  // the login stands; the member file could not take the hashes
        ShowMessage(notice, QStringLiteral("家庭成员"), MessageIcon::Warning);
    m_strMember = name;
    accept();
}

void CLoginDlg::OnCancel()
{
    reject();
}

void CLoginDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnOK();  // Return anywhere in the dialog logs in
        return;
    case Qt::Key_Escape:
        return;  // does nothing here
    default:
        QDialog::keyPressEvent(event);
    }
}

void CLoginDlg::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
}
