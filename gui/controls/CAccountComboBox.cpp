// Account entry.
#include "CAccountComboBox.h"

#include "dialogs/FieldLimits.h"

#include <QLineEdit>
#include <QSignalBlocker>

CAccountComboBox::CAccountComboBox(Accounts accounts, QWidget *parent)
    : CTintedComboBox(parent), m_accounts(std::move(accounts))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // No completion from the entries: they are "account ## bank", and completing a typed account to
    // one would put its bank's name into the account. An account is taken from the list by choosing it.
    setCompleter(nullptr);
    LimitGbkBytes(lineEdit(), 40);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!text.contains(QLatin1Char('#')))
            return;
        QString kept = text;
        kept.remove(QLatin1Char('#'));
        lineEdit()->setText(kept);
        lineEdit()->setCursorPosition(int(kept.size()));
    });
    connect(this, &CTintedComboBox::aboutToShowPopup, this, [this] {
        // Each drop-down lists the accounts as they are now; the text typed stays.
        const QString typed = currentText();
        const QSignalBlocker quiet(this);
        clear();
        addItems(m_accounts());
        setCurrentIndex(-1);
        setEditText(typed);
    });
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &CAccountComboBox::OnChosen);
}

void CAccountComboBox::OnChosen(int index)
{
    const QString entry = itemText(index);
    const int split = int(entry.indexOf(QStringLiteral(" ## ")));
    if (split < 0)
        return;
    {
        const QSignalBlocker quiet(this);
        setItemText(index, entry.left(split));
        setCurrentIndex(index);
        setEditText(entry.left(split));
    }
    emit bankChosen(entry.mid(split + 4));
}
