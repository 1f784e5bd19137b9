// What the entry dialogs share: what the dialog was opened to do (add a record, or change
// the one chosen in its list), the calculator pad closed whenever the dialog is left, adding after a
// save, and Return never closing it unsaved (Escape too, where asked).
#pragma once

#include <QDialog>
#include <functional>

// What an entry dialog is opened to do: add a record, or change the record chosen in its list (for a
// fixed-term deposit, continue the chosen 零存整取 plan).
enum class EntryMode { Add, Modify };

class CEntryDialog : public QDialog
{
    Q_OBJECT
public:
    ~CEntryDialog() override;

    // Whether a save changes the chosen record; false after the first save, which a further save adds to.
    bool IsModifying() const { return m_mode == EntryMode::Modify; }

public slots:
    void reject() override;

protected:
    CEntryDialog(QWidget *parent, EntryMode mode, bool swallowEscape);

    // Runs the book's write; a database failure is told, and so is a change refused because another
    // computer changed or deleted the record meanwhile (the dialog keeps what was typed). True when
    // the record was saved.
    bool TrySave(const std::function<bool()> &write);
    // After a save: the dialog leaves modify mode (a further save adds).
    void SavedOnce();
    // After a save that closes the dialog.
    void CloseSaved();

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Leave();
    EntryMode m_mode;
    bool m_bSwallowEscape;
};
