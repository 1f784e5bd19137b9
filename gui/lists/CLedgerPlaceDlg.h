// 帐本位置: where the household's ledger is. 本机文件 is the ledger file in the installation folder;
// 服务器 a ledger on a PostgreSQL server that several computers share (host, port, database, user;
// the password goes to the desktop's secret store). 迁移到服务器… copies the ledger file into an empty
// server database; 导出为本机帐本… writes the server ledger to a ledger file of the usual form.
#pragma once

#include "db/LedgerPlace.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

class CLedgerPlaceDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CLedgerPlaceDlg(QWidget *parent = nullptr);

    // Where the installation's template (its schema) is, for laying a server ledger.
    static QString SchemaPath();

    // The buttons' work, callable by the tests as by a click.
    void TestConnection();
    void MigrateToServer();
    void ExportToFile(const QString &path);
    void ChooseExportFile();
    // 确定: the place chosen is checked, kept and used; the dialog closes when it is.
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The ledger now used is another: the window reads the lists and the books again.
    void ledgerPlaceChanged();

private:
    // The server the fields name, with the password typed; false (and said) when a field is missing.
    bool ReadFields(PgSettings *settings, bool askPassword = true);
    void ShowChoice();
    // Uses the place from now on and keeps it for the next start.
    bool Switch(const LedgerPlace &place, const QString &password);
    // The server database ready to use: a ledger there, or laid (with this folder's lists) when empty
    // and the household agrees. False, and said, otherwise.
    bool ReadyServerLedger(const PgSettings &settings);
    void Tell(const QString &text, bool failure = false);

    QRadioButton *m_file;
    QRadioButton *m_server;
    QWidget *m_serverFields;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLabel *m_status;
    LedgerPlace m_current;
};
