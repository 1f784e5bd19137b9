// The pop-up keypad and the guard that closes it.
#include "CCalcPad.h"

#include "controls/CIconButton.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

CCalcPad *g_pCalcPad = nullptr;

namespace {

QString FieldText(const CCalcPad::Target &target)
{
    QLineEdit *field = target();
    return field ? field->text() : QString();
}

// Closes the pad on the owner's clicks, focus changes into fields, moves, closing and other buttons.
class CalcPadGuard : public QObject
{
public:
    CalcPadGuard(QDialog *owner, QList<QPointer<QAbstractButton>> keep) : QObject(owner), m_owner(owner), m_keep(keep)
    {
        Watch(owner);
        for (QWidget *child : owner->findChildren<QWidget *>())
            Watch(child);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!g_pCalcPad)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!IsKept(watched))
                CCalcPad::CloseOpen();
            break;
        case QEvent::FocusIn:
            // Focus coming back with the window (after a message box, say) is no user's move.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::ActiveWindowFocusReason
                || static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason)
                break;
            if (qobject_cast<QLineEdit *>(watched) || qobject_cast<QPlainTextEdit *>(watched)
                || qobject_cast<QAbstractItemView *>(watched) || qobject_cast<QComboBox *>(watched)
                || qobject_cast<QDateTimeEdit *>(watched))
                CCalcPad::CloseOpen();
            break;
        case QEvent::Move:
        case QEvent::Close:
        case QEvent::Hide:
            if (watched == m_owner)
                CCalcPad::CloseOpen();
            break;
        case QEvent::KeyPress:
            if (qobject_cast<QAbstractButton *>(watched) && !IsKept(watched))
                CCalcPad::CloseOpen();  // a button pressed from the keyboard
            break;
        default:
            break;
        }
        return false;
    }

private:
    void Watch(QWidget *widget) { widget->installEventFilter(this); }
    bool IsKept(QObject *watched) const
    {
        for (const auto &button : m_keep) {
            if (button == watched)
                return true;
        }
        return false;
    }
    QDialog *m_owner;
    QList<QPointer<QAbstractButton>> m_keep;
};

} // namespace

CCalcPad::CCalcPad(QWidget *owner, const Target &target)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), m_target(target), m_engine(FieldText(target))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("CCalcPad"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->setSpacing(1);
    const QList<std::tuple<QString, int, int, int, int>> keys = {
        {"C", 1019, 0, 0, 1},  {"<-", 1020, 0, 1, 1}, {".", 1021, 0, 2, 1}, {"+", 1022, 0, 3, 1},
        {"1", 1023, 1, 0, 1},  {"2", 1024, 1, 1, 1},  {"3", 1025, 1, 2, 1}, {"-", 1026, 1, 3, 1},
        {"4", 1027, 2, 0, 1},  {"5", 1028, 2, 1, 1},  {"6", 1029, 2, 2, 1}, {"*", 1030, 2, 3, 1},
        {"7", 1031, 3, 0, 1},  {"8", 1032, 3, 1, 1},  {"9", 1033, 3, 2, 1}, {"/", 1034, 3, 3, 1},
        {"0", 1035, 4, 0, 1},  {"=", 1036, 4, 1, 3}};
    for (const auto &[key, id, row, column, span] : keys) {
        auto *button = new CIconButton(key, this);
        button->setObjectName(QString::number(id));
        button->SetHoverBackColor(QColor(120, 180, 190));
        button->SetHoverTextColor(QColor(0, 0, 255));
        button->SetNormalBackColor(QColor(120, 180, 190));
        button->SetFlatStyle(false);
        button->setFocusPolicy(Qt::NoFocus);  // the field keeps the focus
        button->setMinimumSize(10, 10);
        grid->addWidget(button, row, column, 1, span);
        connect(button, &QPushButton::clicked, this, [this, key = key] { PressKey(key); });
    }
    if (QLineEdit *field = m_target())
        move(field->mapToGlobal(QPoint(0, field->height())));
    setFixedSize(100, 118);
}

CCalcPad *CCalcPad::Open(QWidget *owner, const Target &target)
{
    if (g_pCalcPad)
        return nullptr;
    g_pCalcPad = new CCalcPad(owner, target);
    g_pCalcPad->show();
    return g_pCalcPad;
}

CCalcPad *CCalcPad::Reopen(QWidget *owner, const Target &target)
{
    CloseOpen();
    return Open(owner, target);
}

void CCalcPad::CloseOpen()
{
    CCalcPad *pad = g_pCalcPad;
    g_pCalcPad = nullptr;
    if (pad) {
        pad->hide();
        pad->deleteLater();
    }
}

void CCalcPad::Guard(QDialog *owner, std::initializer_list<QAbstractButton *> calculatorButtons)
{
    QList<QPointer<QAbstractButton>> keep;
    for (QAbstractButton *button : calculatorButtons)
        keep << button;
    new CalcPadGuard(owner, keep);
}

void CCalcPad::PressKey(const QString &key)
{
    QLineEdit *field = m_target();
    if (!field)
        return;
    const QString shown = m_engine.Press(key, field->text());
    if (g_pCalcPad != this)
        return;  // a message box in between may have closed the pad
    field->setText(shown);
    if (m_engine.IsFinished())
        CloseOpen();
}

void CCalcPad::closeEvent(QCloseEvent *event)
{
    if (g_pCalcPad == this)
        g_pCalcPad = nullptr;
    QWidget::closeEvent(event);
}
