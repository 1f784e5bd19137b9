// Member passwords as the member file keeps them: salted, slow Argon2id hashes (libsodium's
// crypto_pwhash_str, interactive limits), in the same slot where earlier versions kept the password
// itself. A slot holds one of three things, told apart by its shape.
#pragma once

#include <QString>

// The longest password, in characters of any script (a character beyond the BMP counts one).
constexpr int kPasswordCharacters = 18;

enum class StoredPassword {
    Plain,       // an earlier version's password as typed (at most 18 characters, never "$argon2…")
    Hashed,      // an Argon2id hash this program can check
    Unreadable,  // a damaged hash, a hash of a kind or of limits this program does not check, or a
                 // password as typed whose bytes could not be read
};

StoredPassword KindOfStoredPassword(const QString &stored);

// The hash to store for the password; empty when it could not be made (memory refused).
QString HashPassword(const QString &password);

// Whether the typed password is the one stored. The time taken does not depend on where the two
// differ: a hash is checked by libsodium, a plain password through digests compared in constant time.
// An unreadable slot matches nothing.
bool PasswordMatches(const QString &stored, const QString &typed);

// Characters as the household counts them: code points, not UTF-16 units.
int PasswordLength(const QString &password);
