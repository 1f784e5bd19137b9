// Delete-member dialog.
#include "CDeleteMemberDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/DialogParts.h"
#include "lists/LoginBackoff.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QLineEdit>

CDeleteMemberDlg::CDeleteMemberDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("删除家庭成员"));
    m_member = new CTintedComboBox(this);
    m_member->setObjectName(QStringLiteral("1199"));
    m_password = MakePasswordField(this, 1202);
    FillMembers();
    auto *ok = MakeDialogButton(this, 1200, QStringLiteral("确定"), 182);
    auto *close = MakeDialogButton(this, 1201, QStringLiteral("关闭"), 183);
    connect(ok, &QPushButton::clicked, this, &CDeleteMemberDlg::OnOK);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    LayOutForm(this, {{QStringLiteral("家庭成员"), m_member}, {QStringLiteral("密    码"), m_password}}, {ok, close});
    setMinimumWidth(300);
}

void CDeleteMemberDlg::FillMembers()
{
    FillMemberList(m_member);
}

void CDeleteMemberDlg::OnOK()
{
    const QString name = m_member->currentText();
    if (name.isEmpty() && m_member->count() == 0)
        return;
    const QString error = LoginBackoff::OfTheRun().Try([&] { return DeleteMember(name, m_password->text()); },
                                                       [](const QString &failure) { return IsWrongGuess(failure); });
    if (!error.isEmpty()) {
        ShowMessage(error, QStringLiteral("错误"));
        return;
    }
    FillMembers();  // stays open for further deletions; the password field keeps its text
}
