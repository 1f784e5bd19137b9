// Item entries of the income/expense list.
#include "ItemChoice.h"

#include "common/Gbk.h"

namespace {

QString WithoutLeadingBlanks(const QString &text)
{
    int start = 0;
    while (start < text.size() && (text.at(start) == QLatin1Char(' ') || text.at(start) == QLatin1Char('\t')))
        ++start;
    return text.mid(start);
}

// The text from the given GBK byte on, starting at a whole character.
QString FromByte(const QString &text, int byteOffset)
{
    int bytes = 0;
    int index = 0;
    while (index < text.size() && bytes < byteOffset) {
        bytes += GbkLength(text.mid(index, text.at(index).isHighSurrogate() ? 2 : 1));
        index += text.at(index).isHighSurrogate() ? 2 : 1;
    }
    return text.mid(index);
}

} // namespace

ItemChoice ParseItemChoice(const QString &entry)
{
    // Only the leading word decides: an item name may itself contain the other kind's word.
    ItemChoice choice;
    const QString incomeWord = QStringLiteral("收入");
    const QString expenseWord = QStringLiteral("支出");
    QString name;
    if (entry.startsWith(incomeWord)) {
        name = entry.mid(incomeWord.size());
        choice.income = true;
    } else if (entry.startsWith(expenseWord)) {
        name = entry.mid(expenseWord.size());
        choice.income = false;
    } else {
        name = FromByte(entry, 4);
        choice.income = true;
    }
    choice.name = WithoutLeadingBlanks(name);
    return choice;
}

ItemChoice ParseNoteChoice(const QString &entry, bool in)
{
    ItemChoice choice;
    choice.income = in;
    QString name = entry;
    if (entry.startsWith(QStringLiteral("进"))) {
        name = entry.mid(1);
        choice.income = true;
    } else if (entry.startsWith(QStringLiteral("出"))) {
        name = entry.mid(1);
        choice.income = false;
    }
    choice.name = WithoutLeadingBlanks(name);
    return choice;
}
