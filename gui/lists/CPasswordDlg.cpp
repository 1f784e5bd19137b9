// Change-name-and-password dialog.
#include "CPasswordDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/DialogParts.h"
#include "lists/LoginBackoff.h"
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
    m_oldPassword = MakePasswordField(this, 1195);
    m_newPassword = MakePasswordField(this, 1196);
    m_confirmation = MakePasswordField(this, 1197);
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
    connect(m_oldPassword, &QLineEdit::textEdited, this, [this](const QString &typed) {
        if (!m_newFollowsOld)
            return;
        m_newPassword->setText(typed);
        m_confirmation->setText(typed);
    });
    for (QLineEdit *field : {m_newPassword, m_confirmation})
        connect(field, &QLineEdit::textEdited, this, [this] { m_newFollowsOld = false; });
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
    for (QLineEdit *field : {m_oldPassword, m_newPassword, m_confirmation})
        field->clear();
    // A slot that cannot be read has no old password to give: another member sets a new one.
    const bool unreadable = HasUnreadablePassword(name);
    m_oldPassword->setEnabled(!unreadable);
    m_oldPassword->setPlaceholderText(unreadable ? QStringLiteral("密码记录已损坏，请直接设置新密码") : QString());
    m_newFollowsOld = !unreadable;
}

void CPasswordDlg::OnOK()
{
    m_strError = LoginBackoff::OfTheRun().Try(
        [this] {
            return ChangeMember(m_oldName->currentText(), m_oldPassword->text(), m_newName->text(), m_newPassword->text(),
                                m_confirmation->text());
        },
        [](const QString &error) { return IsWrongGuess(error); });
    if (!m_strError.isEmpty()) {
        ShowMessage(m_strError, QStringLiteral("错误"));
        return;
    }
    accept();
}
