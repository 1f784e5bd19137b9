// What the entry dialogs share: the owner and its edit flag for the kind of record (modify or
// continue mode when set), the calculator pad closed whenever the dialog is left, the flag cleared
// however the dialog closes, and Return never closing it unsaved (Escape too, where asked).
#pragma once

#include <QDialog>
#include <functional>

class CMainDlg;

class CEntryDialog : public QDialog
{
    Q_OBJECT
public:
    ~CEntryDialog() override;

public slots:
    void reject() override;

protected:
    // editFlag: the owner's m_bEdit... for this kind of record.
    CEntryDialog(CMainDlg *owner, bool *editFlag, bool swallowEscape);

    // Runs the book's write; a database failure is told. True when the record was saved.
    bool TrySave(const std::function<bool()> &write);
    // After a save: the owner leaves modify mode (a further save adds).
    void SavedOnce();
    // After a save that closes the dialog.
    void CloseSaved();

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    CMainDlg *m_pOwner;

private:
    void Leave();
    bool *m_pEditFlag;
    bool m_bSwallowEscape;
};
