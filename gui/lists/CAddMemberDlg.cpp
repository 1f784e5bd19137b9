// Add-member dialog.
#include "CAddMemberDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "dialogs/DialogParts.h"
#include "lists/MemberRules.h"

#include <QLineEdit>

CAddMemberDlg::CAddMemberDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("添加家庭成员"));
    m_name = MakeTextField(this, 1015, 50);
    m_password = MakePasswordField(this, 1016);
    m_confirmation = MakePasswordField(this, 1019);
    GuardReservedChar(m_name);
    GuardReservedChar(m_password);
    auto *ok = MakeDialogButton(this, 1017, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1018, QStringLiteral("取消"), 183);
    connect(ok, &QPushButton::clicked, this, &CAddMemberDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    LayOutForm(this,
               {{QStringLiteral("家庭成员"), m_name}, {QStringLiteral("密    码"), m_password},
                {QStringLiteral("确认密码"), m_confirmation}},
               {ok, cancel});
    setMinimumWidth(320);
}

void CAddMemberDlg::OnOK()
{
    const QString error = AddMember(m_name->text(), m_password->text(), m_confirmation->text());
    if (!error.isEmpty()) {
        ShowMessage(error, QStringLiteral("错误"));
        return;
    }
    accept();
}
