// GBK conversions through QStringEncoder/QStringDecoder (ICU).
#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

bool EncodeGbk(const QString &text, QByteArray *bytes)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    QByteArray encoded = encoder.encode(text);
    if (encoder.hasError() || !encoder.isValid()) {
        bytes->clear();
        return false;
    }
    *bytes = encoded;
    return true;
}

QString DecodeGbk(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool IsGbkEncodable(const QString &text)
{
    QByteArray bytes;
    return EncodeGbk(text, &bytes);
}

int GbkLength(const QString &text)
{
    int length = 0;
    for (QChar c : text) {
        if (c.isLowSurrogate())
            continue;
        length += c.unicode() < 0x80 ? 1 : 2;
    }
    return length;
}
