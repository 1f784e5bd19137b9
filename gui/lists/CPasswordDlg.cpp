// Change-name-and-password dialog.
#include "CPasswordDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/FieldLimits.h"
#include "lists/MemberDialogs.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

CPasswordDlg::CPasswordDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("修改密码"));
    auto field = [this](int id, int bytes, bool secret) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::number(id));
        LimitGbkBytes(edit, bytes);
        if (secret)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    };
    m_oldName = new CTintedComboBox(this);
    m_oldName->setObjectName(QStringLiteral("1191"));
    m_newName = field(1194, 50, false);
    m_oldPassword = field(1195, 18, true);
    m_newPassword = field(1196, 18, true);
    m_confirmation = field(1197, 18, true);
    GuardReservedChar(m_newName);
    GuardReservedChar(m_newPassword);
    m_needPassword = new QCheckBox(QStringLiteral("进入时需要密码"), this);
    m_needPassword->setObjectName(QStringLiteral("1198"));
    m_needPassword->setChecked(g_bNeedPassword != 0);
    connect(m_needPassword, &QCheckBox::clicked, this, [](bool checked) {
        g_bNeedPassword = checked ? 1 : 0;
        SaveSysFile();  // at once, whatever happens to the rest of the dialog
    });
    m_oldName->addItems(MemberNames());
    m_oldName->setCurrentIndex(m_oldName->count() > 0 ? 0 : -1);
    connect(m_oldName, QOverload<int>::of(&QComboBox::activated), this, &CPasswordDlg::FillFromMember);
    FillFromMember();

    auto *ok = MakeDialogButton(this, 1192, QStringLiteral("确定修改密码"), 182);
    auto *close = MakeDialogButton(this, 1193, QStringLiteral("关闭"), 189);
    ok->setMinimumWidth(130);
    connect(ok, &QPushButton::clicked, this, &CPasswordDlg::OnOK);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("原家庭成员名"), m_oldName);
    form->addRow(QStringLiteral("新家庭成员名"), m_newName);
    form->addRow(QStringLiteral("原   密  码"), m_oldPassword);
    form->addRow(QStringLiteral("新   密  码"), m_newPassword);
    form->addRow(QStringLiteral("确 认 密 码"), m_confirmation);
    form->addRow(QString(), m_needPassword);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
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
