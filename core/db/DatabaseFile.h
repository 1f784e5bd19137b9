// What the bytes of an SQLite database file tell without opening it: its header, whether it is whole,
// and whether a log beside it holds pages.
#pragma once

#include <QByteArray>
#include <QString>

// The first hundred bytes of a database file: its header (empty when it cannot be read).
QByteArray DatabaseHeader(const QString &path);

// Whether a write-ahead log beside a database file holds pages: written by another program after the
// file was copied.
bool HasLogWithPages(const QString &path);

// Whether a database file is whole as far as its size and header tell: a file cut short or still
// being written (a journal of an interrupted write beside it) is not. Reads a hundred bytes.
bool LooksWhole(const QString &path);
