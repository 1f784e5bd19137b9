// A drop-down list of entries "kind word, blanks, name" (收入/支出 items, 进/出 notes) that shows only
// the bare name of its choice. The list itself keeps the full entries; the name is only what the box
// shows, so no entry is ever added to or left behind in the list.
#pragma once

#include "controls/CTintedComboBox.h"

class CEntryComboBox : public CTintedComboBox
{
    Q_OBJECT
public:
    explicit CEntryComboBox(QWidget *parent = nullptr);

    // What the box shows in place of the chosen entry, until the next choice.
    void ShowText(const QString &text);
    // The text the box shows: the one given to ShowText, else the chosen entry.
    QString ShownText() const;
    // Selects the entry without announcing it and shows the text (a record's own name and kind).
    void ShowEntry(int index, const QString &text);

signals:
    // An entry became the choice, however the user chose it: click, keys, wheel or typing. Also sent
    // when the chosen entry is confirmed again.
    void entryChosen(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void OnChoice(int index);
    QString m_shown;
    bool m_hasShown = false;
};
