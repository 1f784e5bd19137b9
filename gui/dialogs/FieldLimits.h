// Length limits counted as the ledger counts them, in GBK bytes.
#pragma once

class QLineEdit;
class QPlainTextEdit;

// The field refuses text beyond the given number of GBK bytes.
void LimitGbkBytes(QLineEdit *field, int bytes);
void LimitGbkBytes(QPlainTextEdit *field, int bytes);
