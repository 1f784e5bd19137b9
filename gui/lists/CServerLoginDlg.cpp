// The server ledger's start.
#include "CServerLoginDlg.h"

#include "app/ServerSecrets.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/ServerLedger.h"
#include "controls/CIconButton.h"
#include "dialogs/DialogParts.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CServerLoginDlg::CServerLoginDlg(const PgSettings &settings, const QString &problem, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("服务器帐本"));
    auto *where = new QLabel(QStringLiteral("帐本在服务器 %1 上。").arg(settings.Describe()), this);
    auto *why = new QLabel(problem.isEmpty() ? QStringLiteral("请输入服务器的密码：") : problem, this);
    why->setObjectName(QStringLiteral("problem"));
    why->setWordWrap(true);
    if (!problem.isEmpty())
        why->setStyleSheet(QStringLiteral("color: #b00000"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    auto *connectButton = MakeDialogButton(this, 1, QStringLiteral("连接"), 182);
    auto *useFile = MakeDialogButton(this, 0, QStringLiteral("本次使用本机帐本"), 169);
    auto *quit = MakeDialogButton(this, 0, QStringLiteral("退出"), 183);
    useFile->setObjectName(QStringLiteral("useFile"));
    useFile->setMinimumWidth(useFile->fontMetrics().horizontalAdvance(useFile->text()) + 52);
    connectButton->setDefault(true);
    connect(connectButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(useFile, &QPushButton::clicked, this, [this] {
        m_useFile = true;
        accept();
    });
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout;
    layout->addWidget(where);
    layout->addWidget(why);
    layout->addWidget(m_password);
    StackFieldsAndButtons(this, layout, {connectButton, useFile, quit});
    setMinimumWidth(420);
}

QString CServerLoginDlg::Password() const
{
    return m_password->text();
}

bool CServerLoginDlg::EnterServerLedger(PgSettings settings)
{
    QString password;
    // A server that needs no password (a local socket) is tried at once too.
    const bool kept = ReadServerPassword(settings, &password) == SecretLookup::Found;
    bool tryKept = true;
    QString problem;
    bool asked = false;
    for (;;) {
        if (tryKept) {
            settings.password = password;
            try {
                const auto db = PgConnection::Open(settings);
                if (LookAtServerDatabase(*db) != ServerContents::Ledger)
                    throw DbError(QStringLiteral("服务器上的数据库 %1 中没有帐本。请在“帐本位置”中重新选择。").arg(settings.database));
                // Kept once the server took it: in the secret store, or for this run where there is none.
                if (asked)
                    KeepServerPassword(settings, password);
                UseServerLedger(settings);
                return true;
            } catch (const DbError &error) {
                // Without a kept password the first question is a plain one.
                problem = kept || asked ? error.Explanation() : QString();
            }
        }
        CServerLoginDlg ask(settings, problem);
        if (ask.exec() != QDialog::Accepted)
            return false;
        if (ask.UsesFileThisRun()) {
            UseLedgerFile();
            return true;
        }
        password = ask.Password();
        tryKept = true;
        asked = true;
    }
}
