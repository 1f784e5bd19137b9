// A table written as an Excel workbook (.xlsx) through libxlsxwriter: a bold header row that stays in
// view, then the rows with each cell typed by its column's kind, so that a spreadsheet sums the amounts
// and sorts the dates while a postcode or a phone number keeps its leading zero and no text is ever
// taken for a formula.
#pragma once

#include "common/ColumnKind.h"

#include <QList>
#include <QString>
#include <QStringList>

struct XlsxSheet
{
    QString name;             // made fit for a sheet's name (see XlsxSheetName)
    QStringList titles;       // the header row
    QList<ColumnKind> kinds;  // by column; a column without one is text
    QList<QStringList> rows;  // the cells as the list shows them
};

// Writes the sheet as the whole workbook at path, whole or not at all: the workbook is made beside the
// target, read back, and put in place through WriteWholeFile, so a full disk or a cut-off part leaves
// the old file as it was and nothing beside it. Cells by kind: text always as text; an amount ("1,234.50")
// as a number shown with two decimals; a date as a date ("yyyy-mm-dd", with " hh:mm:ss" when the text
// has a time); a count as a number. An empty cell stays empty, and a text its kind cannot read stays
// text. False, with *error saying why in words a household can act on, when it could not be written.
bool WriteXlsx(const QString &path, const XlsxSheet &sheet, QString *error = nullptr);

// The name as a sheet may bear it: without the characters []:*?/\ and quotes at either end, cut to 31
// characters (a character beyond the BMP counts two, as Excel counts it); "Sheet1" when nothing is left.
QString XlsxSheetName(const QString &name);

// How wide a text shows in a sheet's column, in characters of its font: a CJK or full-width character
// counts as two; a text of several lines, as its widest line.
int XlsxTextWidth(const QString &text);
