// Delete-member dialog.
#include "CDeleteMemberDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/FieldLimits.h"
#include "lists/MemberDialogs.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

CDeleteMemberDlg::CDeleteMemberDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("删除家庭成员"));
    m_member = new CTintedComboBox(this);
    m_member->setObjectName(QStringLiteral("1199"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("1202"));
    m_password->setEchoMode(QLineEdit::Password);
    LimitGbkBytes(m_password, 18);
    FillMembers();
    auto *ok = MakeDialogButton(this, 1200, QStringLiteral("确定"), 182);
    auto *close = MakeDialogButton(this, 1201, QStringLiteral("关闭"), 183);
    connect(ok, &QPushButton::clicked, this, &CDeleteMemberDlg::OnOK);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("家庭成员"), m_member);
    form->addRow(QStringLiteral("密    码"), m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(300);
}

void CDeleteMemberDlg::FillMembers()
{
    m_member->clear();
    m_member->addItems(MemberNames());
    m_member->setCurrentIndex(m_member->count() > 0 ? 0 : -1);
}

void CDeleteMemberDlg::OnOK()
{
    const QString name = m_member->currentText();
    if (name.isEmpty() && m_member->count() == 0)
        return;
    const QString error = DeleteMember(name, m_password->text());
    if (!error.isEmpty()) {
        ShowMessage(error, QStringLiteral("错误"));
        return;
    }
    FillMembers();  // stays open for further deletions; the password field keeps its text
}
