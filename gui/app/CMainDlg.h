// The main window: owns the ledger's books for the whole run and shows one panel at a time.
#pragma once

#include <QDialog>
#include <QString>

class CMainDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CMainDlg(QWidget *parent = nullptr);
    ~CMainDlg() override;

    QString m_strMember;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void InitLedger();
};
