// Driving the ledger's dialogs as a user would: a quiet main window, controls found by their ids,
// typing into fields and choosing entries.
#pragma once

#include "app/CMainDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

inline CMainDlg::Options Quiet()
{
    CMainDlg::Options options;
    options.showSplash = false;
    return options;
}

template <typename T>
T *Find(QWidget *dialog, int id)
{
    return dialog->findChild<T *>(QString::number(id));
}

// Types the text into the field (or the edit field of a drop-down list such as an account), as keys.
inline void Type(QWidget *dialog, int id, const QString &text)
{
    auto *field = Find<QLineEdit>(dialog, id);
    if (!field)
        field = Find<QComboBox>(dialog, id)->lineEdit();
    field->clear();
    QTest::keyClicks(field, text);
}

// Chooses the entry as a confirmed choice.
inline void Choose(QWidget *dialog, int id, const QString &entry)
{
    auto *box = Find<QComboBox>(dialog, id);
    const int index = box->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    box->setCurrentIndex(index);
    emit box->activated(index);
}
