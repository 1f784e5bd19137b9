// Comma-separated tables as spreadsheet programs write and read them: fields with commas, quotes or
// line breaks quoted, a quote inside doubled; lines ended by CR LF. Written in UTF-8 with a byte-order
// mark (what spreadsheet programs recognise) or in GBK for older ones; read in either, found out.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class CsvEncoding { Utf8WithBom, Gbk };

// One field as written: quoted when it holds a comma, a quote, a line break or blanks at either end.
QString CsvField(const QString &text);
// A text a spreadsheet would run as a formula (=, +, -, @, a tab or a carriage return first, after
// any apostrophes) written with an apostrophe before it, and read back without it: a text guarded and
// unguarded is the text again, whatever it was. Amounts are numbers and are never guarded.
QString GuardedCsvText(const QString &text);
QString UnguardedCsvText(const QString &text);
// The rows as a file's bytes. False (and nothing in *bytes) when GBK cannot hold a character of them.
bool WriteCsv(const QList<QStringList> &rows, CsvEncoding encoding, QByteArray *bytes);

struct CsvText
{
    QString text;
    QString encoding;  // "UTF-8 BOM", "UTF-8", "GBK"
    bool isText = true;  // false for a file that is not text (a NUL byte, or neither encoding fits)
};
// The file's text: UTF-8 after a byte-order mark, else UTF-8 when every byte sequence is one, else GBK.
CsvText DecodeCsvBytes(const QByteArray &bytes);

// The records of the text, each a list of fields; a line break inside quotes belongs to its field.
// *complete is false when the text ends inside an open quote.
QList<QStringList> ParseCsv(const QString &text, bool *complete = nullptr);
