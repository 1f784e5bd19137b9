// What a chosen income/expense item entry means: its bare name and whether it is income.
#pragma once

#include <QString>

struct ItemChoice
{
    QString name;      // the item name without its kind word, leading blanks removed
    bool income = true;
};

// "收入    工资" -> 工资, income; "支出    餐饮" -> 餐饮, expense: the leading word decides, whatever the
// name holds. An entry beginning with neither kind word counts as income and loses its first four
// bytes (a character cut in two is dropped whole).
ItemChoice ParseItemChoice(const QString &entry);

// A demand-savings note entry ("进 工资", "出 取款"): the leading word decides the direction (in for 进);
// an entry beginning with neither keeps its whole text and the direction given.
ItemChoice ParseNoteChoice(const QString &entry, bool in);
