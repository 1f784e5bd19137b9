// The ledger's place, and the two moves between a ledger file and a server ledger.
#include "CLedgerPlaceDlg.h"

#include "app/ServerSecrets.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/ServerLedger.h"
#include "db/ServerMigration.h"
#include "db/SqliteConnection.h"
#include "controls/CIconButton.h"
#include "dialogs/DialogParts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("帐本位置");

// A bar for a move of many records; Cancel takes the whole move back.
class MoveProgress
{
public:
    MoveProgress(QWidget *parent, const QString &text) : m_bar(text, QStringLiteral("取消"), 0, 1000, parent)
    {
        m_bar.setWindowTitle(kCaption);
        m_bar.setWindowModality(Qt::WindowModal);
        m_bar.setMinimumDuration(300);
        m_bar.setAutoClose(false);
        m_bar.setValue(0);
    }
    // Told by the move; throws to end it (rolled back) when the household cancelled.
    void operator()(qint64 done, qint64 total)
    {
        m_bar.setValue(total > 0 ? int(done * 1000 / total) : 0);
        QCoreApplication::processEvents();
        if (m_bar.wasCanceled())
            throw DbError(QStringLiteral("已取消，没有改动任何帐目。"));
    }

private:
    QProgressDialog m_bar;
};

} // namespace

QString CLedgerPlaceDlg::SchemaPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/zarvel-template/schema.sql"));
}

CLedgerPlaceDlg::CLedgerPlaceDlg(QWidget *parent) : QDialog(parent), m_current(ReadLedgerPlace())
{
    setWindowTitle(kCaption);
    m_file = new QRadioButton(QStringLiteral("本机文件（本电脑上的帐本）"), this);
    m_server = new QRadioButton(QStringLiteral("服务器（几台电脑共用的 PostgreSQL 帐本）"), this);
    m_file->setObjectName(QStringLiteral("file"));
    m_server->setObjectName(QStringLiteral("server"));

    m_serverFields = new QGroupBox(QStringLiteral("服务器"), this);
    m_host = new QLineEdit(m_serverFields);
    m_host->setObjectName(QStringLiteral("host"));
    m_host->setPlaceholderText(QStringLiteral("例如 192.168.1.10 或 nas.local"));
    m_port = new QSpinBox(m_serverFields);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setRange(1, 65535);
    m_port->setValue(5432);
    // A wheel turned while the pointer passes over must not change the port unseen.
    m_port->setFocusPolicy(Qt::StrongFocus);
    m_port->installEventFilter(this);
    m_database = new QLineEdit(m_serverFields);
    m_database->setObjectName(QStringLiteral("database"));
    m_user = new QLineEdit(m_serverFields);
    m_user->setObjectName(QStringLiteral("user"));
    m_password = new QLineEdit(m_serverFields);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("保存在桌面的密码管理中"));
    auto *form = new QFormLayout(m_serverFields);
    form->addRow(QStringLiteral("主机："), m_host);
    form->addRow(QStringLiteral("端口："), m_port);
    form->addRow(QStringLiteral("数据库："), m_database);
    form->addRow(QStringLiteral("用户："), m_user);
    form->addRow(QStringLiteral("密码："), m_password);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setMinimumWidth(380);

    auto *test = MakeDialogButton(this, 0, QStringLiteral("测试连接"), 169);
    auto *migrate = MakeDialogButton(this, 0, QStringLiteral("迁移到服务器…"), 166);
    auto *exportFile = MakeDialogButton(this, 0, QStringLiteral("导出为本机帐本…"), 166);
    auto *ok = MakeDialogButton(this, 1, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 0, QStringLiteral("取消"), 183);
    // The captions are longer than the dialogs' usual 确定 and 取消: each button is as wide as its own.
    for (CIconButton *button : {test, migrate, exportFile})
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 52);
    test->setObjectName(QStringLiteral("test"));
    migrate->setObjectName(QStringLiteral("migrate"));
    exportFile->setObjectName(QStringLiteral("export"));
    connect(test, &QPushButton::clicked, this, &CLedgerPlaceDlg::TestConnection);
    connect(migrate, &QPushButton::clicked, this, &CLedgerPlaceDlg::MigrateToServer);
    connect(exportFile, &QPushButton::clicked, this, &CLedgerPlaceDlg::ChooseExportFile);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CLedgerPlaceDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_server, &QRadioButton::toggled, this, &CLedgerPlaceDlg::ShowChoice);

    if (const PgSettings *used = ServerLedgerSettings(); used) {
        m_host->setText(used->host);
        m_port->setValue(used->port);
        m_database->setText(used->database);
        m_user->setText(used->user);
        m_password->setText(used->password);
    } else if (m_current.onServer) {
        m_host->setText(m_current.server.host);
        m_port->setValue(m_current.server.port);
        m_database->setText(m_current.server.database);
        m_user->setText(m_current.server.user);
    }
    (UsesServerLedger() ? m_server : m_file)->setChecked(true);

    auto *layout = new QVBoxLayout;
    layout->addWidget(m_file);
    layout->addWidget(m_server);
    layout->addWidget(m_serverFields);
    auto *moves = new QHBoxLayout;
    moves->addWidget(test);
    moves->addWidget(migrate);
    moves->addWidget(exportFile);
    moves->addStretch();
    layout->addLayout(moves);
    layout->addWidget(m_status);
    StackFieldsAndButtons(this, layout, {ok, cancel});
    ShowChoice();
}

bool CLedgerPlaceDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_port && event->type() == QEvent::Wheel && !m_port->hasFocus())
        return true;
    return QDialog::eventFilter(watched, event);
}

void CLedgerPlaceDlg::ShowChoice()
{
    m_serverFields->setEnabled(m_server->isChecked());
}

void CLedgerPlaceDlg::Tell(const QString &text, bool failure)
{
    m_status->setText(text);
    m_status->setStyleSheet(failure ? QStringLiteral("color: #b00000") : QString());
}

bool CLedgerPlaceDlg::ReadFields(PgSettings *settings, bool askPassword)
{
    settings->host = m_host->text().trimmed();
    settings->port = m_port->value();
    settings->database = m_database->text().trimmed();
    settings->user = m_user->text().trimmed();
    settings->password = m_password->text();
    QString missing;
    if (settings->host.isEmpty())
        missing = QStringLiteral("主机");
    else if (settings->database.isEmpty())
        missing = QStringLiteral("数据库");
    else if (settings->user.isEmpty())
        missing = QStringLiteral("用户");
    if (!missing.isEmpty()) {
        Tell(QStringLiteral("请填写服务器的%1。").arg(missing), true);
        return false;
    }
    // Checked before anything is laid on the server: the place could not be kept afterwards.
    for (const QString &text : {settings->host, settings->database, settings->user}) {
        if (text.contains(QLatin1Char('#'))) {
            Tell(QStringLiteral("服务器的主机、数据库和用户名中不能有符号 #。"), true);
            return false;
        }
    }
    // A password kept earlier for the same server and user serves when the field is left empty.
    if (askPassword && settings->password.isEmpty()) {
        QString kept;
        if (ReadServerPassword(*settings, &kept) == SecretLookup::Found)
            settings->password = kept;
    }
    return true;
}

void CLedgerPlaceDlg::TestConnection()
{
    PgSettings settings;
    if (!ReadFields(&settings))
        return;
    try {
        const auto db = PgConnection::Open(settings);
        switch (LookAtServerDatabase(*db)) {
        case ServerContents::Ledger: {
            const QStringList count = QueryRowTexts(*db, QStringLiteral("SELECT count(*) FROM \"Money\""));
            Tell(QStringLiteral("连接成功。服务器上已有帐本（%1 条收支记录）。").arg(count.value(0)));
            break;
        }
        case ServerContents::Empty:
            Tell(QStringLiteral("连接成功。数据库 %1 是空的：可以把本机帐本迁移过去，或按“确定”在其中建立新帐本。").arg(settings.database));
            break;
        case ServerContents::Other:
            Tell(QStringLiteral("连接成功，但数据库 %1 中已有别的程序的表，不能放帐本。请为帐本新建一个空的数据库。").arg(settings.database), true);
            break;
        }
    } catch (const DbError &error) {
        Tell(error.Explanation(), true);
    }
}

void CLedgerPlaceDlg::MigrateToServer()
{
    PgSettings settings;
    if (!ReadFields(&settings))
        return;
    if (!QFileInfo::exists(DatabasePath())) {
        Tell(QStringLiteral("本机没有帐本文件，没有可迁移的帐目。"), true);
        return;
    }
    try {
        if (LookAtServerDatabase(*PgConnection::Open(settings)) != ServerContents::Empty) {
            Tell(QStringLiteral("没有迁移：服务器上的数据库 %1 不是空的。请为帐本新建一个空的数据库。").arg(settings.database), true);
            return;
        }
    } catch (const DbError &error) {
        Tell(QStringLiteral("没有迁移：") + error.Explanation(), true);
        return;
    }
    if (!AskYesNo(QStringLiteral("把本机帐本（含收支项目、家庭成员等列表）复制到服务器 %1 吗？\n\n本机帐本保持不变。服务器上的数据库必须是空的。")
                      .arg(settings.Describe()),
                  kCaption))
        return;
    MigrationReport report;
    try {
        const auto server = PgConnection::Open(settings);
        // A file of its own: the books' connection keeps going while this one only reads.
        const std::unique_ptr<SqliteConnection> file = SqliteConnection::OpenAside(DatabasePath());
        MoveProgress progress(this, QStringLiteral("正在把本机帐本复制到服务器……"));
        report = ::MigrateToServer(*file, *server, SchemaPath(), std::ref(progress), DataDirectory());
    } catch (const DbError &error) {
        Tell(QStringLiteral("没有迁移：") + error.Explanation(), true);
        return;
    }
    Tell(QStringLiteral("已把本机帐本迁移到服务器：%1 条记录，核对无误。").arg(report.records));
    if (!UsesServerLedger() || !(ServerLedgerSettings()->Describe() == settings.Describe())) {
        if (AskYesNo(QStringLiteral("迁移完成（%1 条记录，数目和总额都已核对）。\n\n现在就改用服务器上的帐本吗？").arg(report.records), kCaption)) {
            m_server->setChecked(true);
            accept();
        }
    }
}

void CLedgerPlaceDlg::ChooseExportFile()
{
    const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("服务器帐本-%1.db").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出为本机帐本"), suggested,
                                                      QStringLiteral("帐本文件 (*.db)"));
    if (!path.isEmpty())
        ExportToFile(path);
}

void CLedgerPlaceDlg::ExportToFile(const QString &path)
{
    PgSettings settings;
    if (!ReadFields(&settings))
        return;
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(DatabasePath()).absoluteFilePath() && !UsesServerLedger()) {
        Tell(QStringLiteral("不能导出到正在使用的本机帐本文件上。请换一个文件名。"), true);
        return;
    }
    try {
        const auto server = PgConnection::Open(settings);
        if (LookAtServerDatabase(*server) != ServerContents::Ledger)
            throw DbError(QStringLiteral("服务器上的数据库 %1 中没有帐本。").arg(settings.database));
        MoveProgress progress(this, QStringLiteral("正在把服务器帐本写到本机文件……"));
        const MigrationReport report = ExportServerLedger(*server, SchemaPath(), path, std::ref(progress));
        Tell(QStringLiteral("已导出到 %1：%2 条记录，核对无误。").arg(QDir::toNativeSeparators(path)).arg(report.records));
    } catch (const DbError &error) {
        Tell(QStringLiteral("没有导出：") + error.Explanation(), true);
    }
}

bool CLedgerPlaceDlg::ReadyServerLedger(const PgSettings &settings)
{
    try {
        const auto db = PgConnection::Open(settings);
        switch (LookAtServerDatabase(*db)) {
        case ServerContents::Ledger:
            return true;
        case ServerContents::Other:
            Tell(QStringLiteral("数据库 %1 中已有别的程序的表，不能放帐本。请为帐本新建一个空的数据库。").arg(settings.database), true);
            return false;
        case ServerContents::Empty:
            break;
        }
        if (!AskYesNo(QStringLiteral("服务器上的数据库 %1 是空的。\n\n要在其中建立一个新的空帐本吗？（收支项目、家庭成员等列表取自本机。）\n"
                                     "要把本机的帐目放上去，请选“否”，再用“迁移到服务器…”。")
                          .arg(settings.database),
                      kCaption))
            return false;
        SqlTransaction transaction(*db);
        LayServerLedger(*db, SchemaPath());
        CopyListFiles(DataDirectory(), *db);
        transaction.Commit();
        return true;
    } catch (const DbError &error) {
        Tell(error.Explanation(), true);
        return false;
    }
}

bool CLedgerPlaceDlg::Switch(const LedgerPlace &place, const QString &password)
{
    QString failure;
    if (!WriteLedgerPlace(place, &failure)) {
        Tell(failure, true);
        return false;
    }
    if (place.onServer) {
        PgSettings settings = place.server;
        settings.password = password;
        static bool toldNoStore = false;  // once a run: the desktop does not change meanwhile
        if (!KeepServerPassword(settings, password) && !std::exchange(toldNoStore, true))
            ShowMessage(QStringLiteral("这台电脑的桌面没有密码保管服务，服务器密码只在本次运行中记住；下次启动时会再询问。"), kCaption,
                        MessageIcon::Information);
        UseServerLedger(settings);
    } else {
        UseLedgerFile();
    }
    m_current = place;
    emit ledgerPlaceChanged();
    return true;
}

void CLedgerPlaceDlg::accept()
{
    LedgerPlace place;
    place.onServer = m_server->isChecked();
    if (!place.onServer) {
        if (UsesServerLedger() || m_current.onServer) {
            if (!AskYesNo(QStringLiteral("改用本机帐本文件吗？\n\n服务器上的帐目不会带到本机；要在本机留一份，请先用“导出为本机帐本…”。"), kCaption))
                return;
            if (!Switch(place, QString()))
                return;
        }
        QDialog::accept();
        return;
    }
    PgSettings settings;
    if (!ReadFields(&settings))
        return;
    if (UsesServerLedger() && ServerLedgerSettings()->Describe() == settings.Describe() &&
        ServerLedgerSettings()->password == settings.password) {
        QDialog::accept();  // nothing changed
        return;
    }
    if (!ReadyServerLedger(settings))
        return;
    place.server = settings;
    place.server.password.clear();
    if (Switch(place, settings.password))
        QDialog::accept();
}
