// Statements other desktop ledgers and banks write — QIF, and OFX in its SGML (1.x) and XML (2.x)
// forms — read as the table the bill import reads, one row per transaction.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A QIF or OFX statement as the table the bill import reads: rows[0] is the header
// {"日期", "金额", "交易对方", "收支项目", "备注", "交易编号"}, then one row per transaction
// (a QIF split transaction: one row per split). error is non-empty when the file cannot be read
// (then rows is empty: never half a file).
struct InterchangeTable
{
    enum class Kind { None, Qif, Ofx };
    Kind kind = Kind::None;
    QList<QStringList> rows;
    QString error;  // Chinese, names the line (第 N 行) where there is one
};

// Sniffed from the content, not the file name: OFX when its first kilobyte names OFXHEADER or holds
// <OFX>, QIF when its first line is a !Type:, !Account or !Option line.
InterchangeTable::Kind InterchangeKindOf(const QByteArray &bytes);

// The dates as the bill import reads them: a QIF date as "a/b/yyyy" in the file's own order of day
// and month (ISO dates as they are), an OFX date as "yyyy-MM-dd[ HH:mm:ss]"; a date that cannot be
// read stays as written, so that the import refuses its row and says why. Amounts stay text, signed
// as in the file, a decimal comma made a point. Values that cannot be read are left to the import;
// only what spoils the whole file (no type line, an unclosed aggregate, broken XML) is refused here.
// The kind is sniffed when none is given; a file named .qif, .ofx or .qfx whose first bytes say
// neither is read as its name says, so that what spoils it is told (a QIF without its type line).
InterchangeTable ReadInterchange(const QByteArray &bytes, InterchangeTable::Kind kind = InterchangeTable::Kind::None);
// The kind a file's name gives it.
InterchangeTable::Kind InterchangeKindOfName(const QString &fileName);
