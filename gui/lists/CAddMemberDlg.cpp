// Add-member dialog.
#include "CAddMemberDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "dialogs/FieldLimits.h"
#include "lists/MemberDialogs.h"
#include "lists/MemberRules.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

CAddMemberDlg::CAddMemberDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("添加家庭成员"));
    auto field = [this](int id, int bytes, bool secret) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::number(id));
        LimitGbkBytes(edit, bytes);
        if (secret)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    };
    m_name = field(1015, 50, false);
    m_password = field(1016, 18, true);
    m_confirmation = field(1019, 18, true);
    GuardReservedChar(m_name);
    GuardReservedChar(m_password);
    auto *ok = MakeDialogButton(this, 1017, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1018, QStringLiteral("取消"), 183);
    connect(ok, &QPushButton::clicked, this, &CAddMemberDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("家庭成员"), m_name);
    form->addRow(QStringLiteral("密    码"), m_password);
    form->addRow(QStringLiteral("确认密码"), m_confirmation);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
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
