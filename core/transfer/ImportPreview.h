// What an import would make of each row of a bill, as lines of text for scripts and for a look
// without the window (zarvel --preview-import).
#pragma once

#include <QStringList>

class CMoneyImport;

// One tab-separated line per row below the header: its record number in the file, what it becomes
// (记录, 跳过 or 拒绝; a row whose record the ledger holds already, when matched, is 跳过 已有相同记录),
// then for a record its date and time (yyyy-MM-dd HH:mm:ss), item, amount as it
// would be stored (two decimals, an expense negative), member and note, and last the reason (why a
// row is skipped or refused, or what is told of a record's note). Tabs and line breaks inside a
// field are written as blanks, so that each row is one line.
QStringList ImportPreviewLines(const CMoneyImport &plan);

// Reads the plan's rows under the named layout (wechat, alipay, zarvel, qif, ofx, or the layout's
// Chinese name): the header is the first of the leading rows whose titles make that layout. False,
// and *problem says why, when the name is none of them or no header of it is found.
bool UseLayoutNamed(CMoneyImport &plan, const QString &name, QString *problem);
