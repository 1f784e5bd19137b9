// The server ledger's password in the desktop's secret store (QtKeychain: the Secret Service, KWallet,
// the Windows credential store), never in a file of the installation. Where the desktop has no secret
// store, the password asked at start is kept in memory for the run only.
#pragma once

#include "db/PgConnection.h"

enum class SecretLookup
{
    Found,
    NotStored,  // the store answered but holds none for this server and user
    NoStore     // the desktop has no secret store (or it refused): the password is asked
};

// The key the password is kept under: one per user, server and database.
QString SecretKey(const PgSettings &settings);

SecretLookup ReadServerPassword(const PgSettings &settings, QString *password);
// False when the desktop has no secret store to keep it in; the password is then kept for this run.
bool KeepServerPassword(const PgSettings &settings, const QString &password);
void ForgetServerPassword(const PgSettings &settings);
