// GBK (code page 936): the encoding of the list files and the unit of every byte count the ledger makes.
#pragma once

#include <QByteArray>
#include <QString>

// Encodes text as GBK. Returns false (and leaves bytes empty) when a character has no GBK form.
bool EncodeGbk(const QString &text, QByteArray *bytes);

// Decodes GBK bytes; byte sequences that are not GBK, a lone lead byte at the end included, become
// replacement characters (U+FFFD, which has no GBK form), never a failure. *faithful, when given,
// tells whether every byte was GBK.
QString DecodeGbk(const QByteArray &bytes, bool *faithful = nullptr);

// Whether every character of the text has a GBK form.
bool IsGbkEncodable(const QString &text);

// Length of the text in GBK bytes: one per ASCII character, two per Chinese character.
// A character without a GBK form counts as two, the width it would take on screen.
int GbkLength(const QString &text);

// The longest beginning of the text that fits in the bytes, never a character cut in two.
QString CutToGbkBytes(const QString &text, int bytes);
