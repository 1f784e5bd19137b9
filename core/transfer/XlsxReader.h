// Excel workbooks (.xlsx) read as a table of texts, the way a CSV sheet of the same bill reads: one
// list of cell texts per row, so that the bill's layout is found and mapped alike. The workbook is a
// zip of XML parts (libzip unpacks it, Qt's stream reader reads the XML); nothing is written.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Whether the bytes begin as a zip archive does (a workbook is one).
bool LooksLikeZip(const QByteArray &bytes);

struct XlsxTable
{
    QStringList sheets;       // the workbook's sheet names, in its order
    QList<QStringList> rows;  // the sheet's rows from the first; a missing cell or row reads as empty
    QString error;            // why the workbook could not be read (empty when it was)
};

// Reads the named sheet of the workbook (the first when none is named). Cells read as their text:
// shared and inline strings as they are, dates written out as they are, numbers in their shortest form ("12.5"), booleans as
// "TRUE"/"FALSE", and numbers shown as dates as "yyyy-MM-dd HH:mm:ss" ("yyyy-MM-dd" where the format
// shows no time), counted from 1900 or from 1904 as the workbook says. A damaged or oversized archive,
// broken XML, a shared string that is not there or a date out of range is told in error (with the row).
// The largest a workbook may unpack to: far beyond any household's bill, short of a zip bomb.
constexpr qint64 kLargestUnpackedWorkbook = 1024LL * 1024 * 1024;

XlsxTable ReadXlsx(const QByteArray &bytes, const QString &sheet = QString(), qint64 largestUnpacked = kLargestUnpackedWorkbook);
