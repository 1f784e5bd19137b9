// At start, when the ledger is on a server and its password is not in the desktop's secret store (or
// the server refused it): asks for it, says what went wrong, and offers the ledger file for this run.
#pragma once

#include "db/PgConnection.h"

#include <QDialog>

class QLabel;
class QLineEdit;

class CServerLoginDlg : public QDialog
{
    Q_OBJECT
public:
    CServerLoginDlg(const PgSettings &settings, const QString &problem, QWidget *parent = nullptr);
    QString Password() const;
    // 本次使用本机帐本 was chosen (the dialog was accepted without a password to try).
    bool UsesFileThisRun() const { return m_useFile; }

    // Opens the server ledger the installation names: with the kept password first, else asking until
    // the server takes one. True when the program goes on (on the server ledger, or on the ledger file
    // for this run when the household chose so); false when it is to end.
    static bool EnterServerLedger(PgSettings settings);

private:
    QLineEdit *m_password;
    bool m_useFile = false;
};
