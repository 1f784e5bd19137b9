// Shared pieces of the small dialogs.
#include "DialogParts.h"
#include <QLabel>
#include <QGridLayout>
#include "controls/CTintedComboBox.h"
#include "common/LedgerDate.h"
#include <QCalendarWidget>
#include <QDateTimeEdit>

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "dialogs/FieldLimits.h"
#include "lists/MemberRules.h"
#include "lists/PasswordHash.h"
#include "lists/ReferenceLists.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

CIconButton *MakeDialogButton(QDialog *dialog, int id, const QString &caption, int icon)
{
    auto *button = new CIconButton(caption, dialog);
    button->setObjectName(QString::number(id));
    button->SetIcons(icon, 32, 32);
    button->SetLedgerColors();
    if (caption.isEmpty())
        button->setFixedSize(30, 26);
    else
        button->setMinimumSize(96, 38);
    return button;
}

QLineEdit *MakeTextField(QDialog *dialog, int id, int bytes)
{
    auto *field = new QLineEdit(dialog);
    field->setObjectName(QString::number(id));
    LimitGbkBytes(field, bytes);
    return field;
}

QLineEdit *MakePasswordField(QDialog *dialog, int id)
{
    auto *field = new QLineEdit(dialog);
    field->setObjectName(QString::number(id));
    field->setEchoMode(QLineEdit::Password);
    // Only the hash is stored, so the limit is in characters, not in the member file's bytes: a
    // character beyond the BMP (two UTF-16 units) counts one, as the household counts it.
    field->setMaxLength(2 * kPasswordCharacters);
    QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString &text) {
        const QList<uint> characters = text.toUcs4();
        if (characters.size() > kPasswordCharacters)
            field->setText(QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData()), kPasswordCharacters));
    });
    return field;
}

QPlainTextEdit *MakeNoteField(QDialog *dialog, int id, int bytes, int height)
{
    auto *field = new QPlainTextEdit(dialog);
    field->setObjectName(QString::number(id));
    field->setFixedHeight(height);
    field->setTabChangesFocus(true);
    LimitGbkBytes(field, bytes);
    return field;
}

void LayOutForm(QDialog *dialog, const QList<QPair<QString, QWidget *>> &rows, const QList<QWidget *> &buttons)
{
    auto *form = new QFormLayout;
    for (const auto &[label, widget] : rows)
        form->addRow(label, widget);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    for (QWidget *button : buttons)
        buttonRow->addWidget(button);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addLayout(buttonRow);
}

void GuardReservedChar(QLineEdit *field)
{
    // The field's own text, not the signal's: the length limit may have cut the text (and sent its
    // own change, which the guard answered) before this connection is reached.
    QObject::connect(field, &QLineEdit::textChanged, field, [field] {
        QString cleaned = field->text();
        if (!RemoveFirstReservedChar(&cleaned))
            return;
        ShowMessage(kReservedCharMessage, QStringLiteral("错误"));
        field->setText(cleaned);  // itself a change: further '#' go one by one
    });
}

QDateTimeEdit *MakeDatePicker(QDialog *dialog, int id)
{
    auto *date = new QDateTimeEdit(dialog);
    date->setObjectName(QString::number(id));
    date->setTimeSpec(Qt::UTC);
    // The format before the value: setting a format without time sections resets the time to 00:00.
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date->setDateTime(LedgerNow());
    date->setCalendarPopup(true);
    QPalette calendar = date->calendarWidget()->palette();
    calendar.setColor(QPalette::Base, QColor(230, 250, 255));
    date->calendarWidget()->setPalette(calendar);
    return date;
}

CTintedComboBox *MakeChoiceList(QDialog *dialog, int id, const QStringList &entries)
{
    auto *box = new CTintedComboBox(dialog);
    box->setObjectName(QString::number(id));
    box->addItems(entries);
    box->setCurrentIndex(entries.isEmpty() ? -1 : 0);
    return box;
}

const QString kNoMemberHint = QStringLiteral("请先在 设置 → 系统 → 添加家庭成员 中添加成员");

CTintedComboBox *MakeMemberList(QDialog *dialog, int id)
{
    auto *box = new CTintedComboBox(dialog);
    box->setObjectName(QString::number(id));
    FillMemberList(box);
    return box;
}

void FillMemberList(QComboBox *box)
{
    const QStringList names = MemberNames();
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(names.isEmpty() ? -1 : 0);
    // Shown only while nothing is chosen, and only when there is nothing to choose.
    box->setPlaceholderText(names.isEmpty() ? kNoMemberHint : QString());
}

void StackFieldsAndButtons(QDialog *dialog, QLayout *fields, const QList<QWidget *> &buttons, bool rightAligned)
{
    auto *row = new QHBoxLayout;
    if (rightAligned)
        row->addStretch();
    for (QWidget *button : buttons)
        row->addWidget(button);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(fields);
    layout->addLayout(row);
}

void AddLabelledField(QGridLayout *grid, int row, int column, const QString &label, QWidget *field)
{
    grid->addWidget(new QLabel(label, field->parentWidget()), row, column);
    grid->addWidget(field, row, column + 1);
}

void AddLabelledNote(QGridLayout *grid, int row, const QString &label, QWidget *note, int span)
{
    grid->addWidget(new QLabel(label, note->parentWidget()), row, 0, Qt::AlignTop);
    grid->addWidget(note, row, 1, 1, span);
}
