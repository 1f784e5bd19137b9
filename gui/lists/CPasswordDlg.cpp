// Change-name-and-password dialog.
#include "CPasswordDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/DialogParts.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QCheckBox>
#include <QLineEdit>

CPasswordDlg::CPasswordDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("修改密码"));
    m_oldName = new CTintedComboBox(this);
    m_oldName->setObjectName(QStringLiteral("1191"));
    m_newName = MakeTextField(this, 1194, 50);
    m_oldPassword = MakeTextField(this, 1195, 18, true);
    m_newPassword = MakeTextField(this, 1196, 18, true);
    m_confirmation = MakeTextField(this, 1197, 18, true);
    GuardReservedChar(m_newName);
    GuardReservedChar(m_newPassword);
    m_needPassword = new QCheckBox(QStringLiteral("进入时需要密码"), this);
    m_needPassword->setObjectName(QStringLiteral("1198"));
    m_needPassword->setChecked(g_bNeedPassword != 0);
    connect(m_needPassword, &QCheckBox::clicked, this, [this](bool checked) {
        const int stored = g_bNeedPassword;
        g_bNeedPassword = checked ? 1 : 0;
        if (!SaveSysFile()) {  // at once, whatever happens to the rest of the dialog
            // Not stored (the save has said so): box and setting stay as the file has them.
            g_bNeedPassword = stored;
            m_needPassword->setChecked(stored != 0);
        }
    });
    FillMemberList(m_oldName);
    connect(m_oldName, QOverload<int>::of(&QComboBox::activated), this, &CPasswordDlg::FillFromMember);
    FillFromMember();

    auto *ok = MakeDialogButton(this, 1192, QStringLiteral("确定修改密码"), 182);
    auto *close = MakeDialogButton(this, 1193, QStringLiteral("关闭"), 189);
    ok->setMinimumWidth(130);
    connect(ok, &QPushButton::clicked, this, &CPasswordDlg::OnOK);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    LayOutForm(this,
               {{QStringLiteral("原家庭成员名"), m_oldName}, {QStringLiteral("新家庭成员名"), m_newName},
                {QStringLiteral("原   密  码"), m_oldPassword}, {QStringLiteral("新   密  码"), m_newPassword},
                {QStringLiteral("确 认 密 码"), m_confirmation}, {QString(), m_needPassword}},
               {ok, close});
    setMinimumWidth(340);
}

void CPasswordDlg::FillFromMember()
{
    const QString name = m_oldName->currentText();
    m_newName->setText(name);
    if (FindMember(name) >= 0) {
        const QString password = PasswordOf(name);
        m_oldPassword->setText(password);
        m_newPassword->setText(password);
        m_confirmation->setText(password);
    }
}

void CPasswordDlg::OnOK()
{
    m_strError = ChangeMember(m_oldName->currentText(), m_oldPassword->text(), m_newName->text(),
                              m_newPassword->text(), m_confirmation->text());
    if (!m_strError.isEmpty()) {
        ShowMessage(m_strError, QStringLiteral("错误"));
        return;
    }
    accept();
}
