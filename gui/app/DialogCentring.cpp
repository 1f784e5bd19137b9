// Placement of dialogs at their first showing.
#include "DialogCentring.h"

#include "app/CMainDlg.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
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
        QRect area;
        if (const QWidget *main = ShownMainWindow(dialog))
            area = main->frameGeometry();
        else if (const QScreen *screen = dialog->screen())
            area = screen->availableGeometry();
        else
            return false;
        QRect frame = dialog->frameGeometry();
        frame.moveCenter(area.center());
        dialog->move(frame.topLeft());
        return false;
    }
};

} // namespace

void CentreDialogsOnTheMainWindow(QApplication *app)
{
    app->installEventFilter(new DialogCentring(app));
}
