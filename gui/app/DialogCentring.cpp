// Placement of dialogs at their first showing.
#include "DialogCentring.h"

#include "app/CMainDlg.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QScreen>

namespace {

const char *const kPlaced = "zarvelPlaced";

QWidget *ShownMainWindow(const QWidget *except)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != except && window->isVisible() && qobject_cast<CMainDlg *>(window))
            return window;
    }
    return nullptr;
}

class DialogCentring : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog || !dialog->isWindow() || dialog->property(kPlaced).toBool())
            return false;
        dialog->setProperty(kPlaced, true);  // only the first showing: a dialog the user moved stays put
        // The dialog handles its showing first: a message box only then fits itself to its text, and
        // the dialog is centred by the size it is shown with. The event has then been delivered.
        const QPointer<QDialog> shown(dialog);
        QCoreApplication::sendEvent(dialog, event);
        if (shown)
            Centre(shown);
        return true;
    }

private:
    static void Centre(QDialog *dialog)
    {
        QRect area;
        if (const QWidget *main = ShownMainWindow(dialog))
            area = main->frameGeometry();
        else if (const QScreen *screen = dialog->screen())
            area = screen->availableGeometry();
        else
            return;
        QRect frame = dialog->frameGeometry();
        frame.moveCenter(area.center());
        dialog->move(frame.topLeft());
    }
};

} // namespace

void CentreDialogsOnTheMainWindow(QApplication *app)
{
    app->installEventFilter(new DialogCentring(app));
}
