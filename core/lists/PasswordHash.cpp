// Argon2id hashes for member passwords, through libsodium.
#include "PasswordHash.h"

#include <QByteArray>
#include <QRegularExpression>

#include <sodium.h>

namespace {

bool SodiumReady()
{
    static const bool ready = sodium_init() >= 0;  // thread-safe once; later calls are no-ops
    return ready;
}

// The shape crypto_pwhash_str writes: algorithm, version, limits, a 16-byte salt and a 32-byte hash
// in unpadded base64. A slot cut short or edited by hand fails it even where libsodium would still
// read the parameters. Its limits must also be ones libsodium runs here: one lane (it computes no
// other), and memory and passes no greater than its sensitive limits; beyond them a check would
// never match (memory no computer has) or never finish.
bool HasCheckableArgon2idShape(const QString &stored)
{
    static const QRegularExpression shape(QStringLiteral(
        "^\\$argon2id\\$v=19\\$m=([1-9][0-9]*),t=([1-9][0-9]*),p=([1-9][0-9]*)\\$[A-Za-z0-9+/]{22}\\$[A-Za-z0-9+/]{43}$"));
    const QRegularExpressionMatch found = shape.match(stored);
    if (!found.hasMatch())
        return false;
    bool memoryRead = false, passesRead = false, lanesRead = false;
    const qulonglong kibibytes = found.captured(1).toULongLong(&memoryRead);
    const qulonglong passes = found.captured(2).toULongLong(&passesRead);
    const qulonglong lanes = found.captured(3).toULongLong(&lanesRead);
    return memoryRead && passesRead && lanesRead && lanes == 1 &&
           kibibytes <= crypto_pwhash_MEMLIMIT_SENSITIVE / 1024U && passes <= crypto_pwhash_OPSLIMIT_SENSITIVE;
}

// A slot that looks like some hash: "$id$…", longer than any password an earlier version accepted.
bool LooksLikeAHash(const QString &stored)
{
    static const QRegularExpression shape(QStringLiteral("^\\$[A-Za-z0-9-]{1,16}\\$"));
    return stored.startsWith(QLatin1String("$argon2")) ||
           (PasswordLength(stored) > kPasswordCharacters && shape.match(stored).hasMatch());
}

QByteArray Digest(const QByteArray &text)
{
    QByteArray digest(crypto_generichash_BYTES, '\0');
    crypto_generichash(reinterpret_cast<unsigned char *>(digest.data()), size_t(digest.size()),
                       reinterpret_cast<const unsigned char *>(text.constData()), size_t(text.size()), nullptr, 0);
    return digest;
}

} // namespace

int PasswordLength(const QString &password) { return int(password.toUcs4().size()); }

StoredPassword KindOfStoredPassword(const QString &stored)
{
    if (!LooksLikeAHash(stored)) {
        // A replacement character is what reading left of bytes that were not GBK: no earlier version
        // stored a password so (it kept GBK only), and nothing typed matches it.
        return stored.contains(QChar::ReplacementCharacter) ? StoredPassword::Unreadable : StoredPassword::Plain;
    }
    if (!HasCheckableArgon2idShape(stored) || !SodiumReady())
        return StoredPassword::Unreadable;
    const QByteArray hash = stored.toLatin1();
    // -1: libsodium cannot read the parameters (limits beyond what it accepts, a broken encoding).
    const int readable = crypto_pwhash_str_needs_rehash(hash.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                                        crypto_pwhash_MEMLIMIT_INTERACTIVE);
    return readable < 0 ? StoredPassword::Unreadable : StoredPassword::Hashed;
}

QString HashPassword(const QString &password)
{
    if (!SodiumReady())
        return QString();
    const QByteArray typed = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(hash, typed.constData(), (unsigned long long)typed.size(),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return QString();
    return QString::fromLatin1(hash);
}

bool PasswordMatches(const QString &stored, const QString &typed)
{
    switch (KindOfStoredPassword(stored)) {
    case StoredPassword::Unreadable:
        return false;
    case StoredPassword::Hashed: {
        const QByteArray hash = stored.toLatin1();
        const QByteArray password = typed.toUtf8();
        return crypto_pwhash_str_verify(hash.constData(), password.constData(), (unsigned long long)password.size()) == 0;
    }
    case StoredPassword::Plain:
        break;
    }
    if (!SodiumReady())
        return false;
    // Digests of equal length, compared without an early exit: neither the length nor the first
    // differing character of the stored password shows in the time taken.
    const QByteArray left = Digest(stored.toUtf8());
    const QByteArray right = Digest(typed.toUtf8());
    return sodium_memcmp(left.constData(), right.constData(), size_t(left.size())) == 0;
}
