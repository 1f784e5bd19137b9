// Which entry of a drop-down list a modify dialog selects for a text stored in a record.
#pragma once

#include <QString>
#include <QStringList>

// The entry equal to the stored text; when none is, the first entry that begins with it; -1 when
// neither exists, and the dialog appends the stored text as an entry of its own and selects that.
// An exact entry goes first, so a record of "Li" is never shown (and saved again) as "Lisa".
int ChooseEntry(const QStringList &entries, const QString &stored);
