// Choosing a drop-down entry for a stored text.
#include "EntryChoice.h"

int ChooseEntry(const QStringList &entries, const QString &stored)
{
    const int exact = entries.indexOf(stored);
    if (exact >= 0)
        return exact;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).startsWith(stored))
            return i;
    }
    return -1;
}
