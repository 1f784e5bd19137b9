// The entry-dialog pattern.
#include "CEntryDialog.h"

#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "db/DbError.h"

#include <QCloseEvent>
#include <QKeyEvent>

CEntryDialog::CEntryDialog(QWidget *parent, EntryMode mode, bool swallowEscape)
    : QDialog(parent), m_mode(mode), m_bSwallowEscape(swallowEscape)
{
}

CEntryDialog::~CEntryDialog()
{
    if (g_pCalcPad && g_pCalcPad->parent() == this)
        CCalcPad::CloseOpen();
}

void CEntryDialog::Leave()
{
    CCalcPad::CloseOpen();
}

bool CEntryDialog::TrySave(const std::function<bool()> &write)
{
    try {
        return write();
    } catch (const RecordChangedElsewhere &refused) {
        // The dialog stays open with what was typed; the list shows the record as another computer left
        // it, and a second save, made knowing that, goes on from there.
        ShowMessage(refused.Message(), RecordChangedElsewhere::Caption(), MessageIcon::Warning);
        return false;
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
        return false;
    }
}

void CEntryDialog::SavedOnce()
{
    m_mode = EntryMode::Add;
}

void CEntryDialog::CloseSaved()
{
    m_mode = EntryMode::Add;
    Leave();
    QDialog::accept();
}

void CEntryDialog::reject()
{
    Leave();
    QDialog::reject();
}

void CEntryDialog::closeEvent(QCloseEvent *event)
{
    Leave();
    QDialog::closeEvent(event);
}

void CEntryDialog::keyPressEvent(QKeyEvent *event)
{
    // Return never closes the dialog unsaved (a note takes it as a new line); Escape is swallowed by
    // the dialogs that ask for it, and cancels the others.
    const bool escape = event->key() == Qt::Key_Escape;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || (escape && m_bSwallowEscape)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
