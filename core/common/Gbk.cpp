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

QString DecodeGbk(const QByteArray &bytes, bool *faithful)
{
    // The decoder drops a lead byte at the very end without a trace. Behind a '#', which is never a
    // trail byte, such a byte is an error like any other and becomes U+FFFD; the '#' itself stays a '#'.
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes + '#');
    if (text.endsWith(QLatin1Char('#')))
        text.chop(1);
    if (faithful)
        *faithful = !decoder.hasError();
    return text;
}

bool IsGbkEncodable(const QString &text)
{
    QByteArray bytes;
    return EncodeGbk(text, &bytes);
}

namespace {

// One UTF-16 unit's GBK bytes: one for ASCII, two otherwise; a pair's second half counts nothing.
int GbkWidth(QChar c)
{
    return c.isLowSurrogate() ? 0 : c.unicode() < 0x80 ? 1 : 2;
}

} // namespace

int GbkLength(const QString &text)
{
    int length = 0;
    for (QChar c : text)
        length += GbkWidth(c);
    return length;
}

QString CutToGbkBytes(const QString &text, int bytes)
{
    if (text.size() * 2 <= bytes)
        return text;  // no text this short can be longer
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int width = GbkWidth(text.at(i));
        if (used + width > bytes)
            return text.left(i);
        used += width;
    }
    return text;
}
