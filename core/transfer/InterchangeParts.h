// What the QIF and OFX readers share, and the two readers themselves (QifReader.cpp, OfxReader.cpp).
#pragma once

#include "transfer/Interchange.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// {"日期", "金额", "交易对方", "收支项目", "备注", "交易编号"}: the titles the bill import knows. A QIF
// file's last column is its check number (支票号), which need not be one trade's alone.
QStringList InterchangeHeader(InterchangeTable::Kind kind);

// An amount as written, with a decimal comma ("12,50", "1.234,56") made a point, since the import
// reads a comma as a group separator and would take "12,50" for 1250. "1,234.56" stays as it is.
QString InterchangeAmountText(const QString &written);

// The 1-based line of the byte at the offset (LF, CR LF or a lone CR end a line).
int LineAtOffset(const QByteArray &bytes, qsizetype offset);

InterchangeTable ReadQif(const QByteArray &bytes);
InterchangeTable ReadOfx(const QByteArray &bytes);
