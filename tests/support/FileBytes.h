// A file's bytes, read or laid exactly, for tests of what reaches the disk.
#pragma once

#include "common/Gbk.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// The text's bytes in the list files' encoding.
inline QByteArray Gbk(const QString &text)
{
    QByteArray bytes;
    EncodeGbk(text, &bytes);
    return bytes;
}
