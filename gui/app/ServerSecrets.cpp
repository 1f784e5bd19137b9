// QtKeychain's jobs run to their end here: the callers need the answer before they go on.
#include "ServerSecrets.h"

#include <QEventLoop>
#include <QHash>
#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("org.zarvel.zarvel");

// What this run was told where no store keeps it: never written anywhere.
QHash<QString, QString> &RememberedForTheRun()
{
    static QHash<QString, QString> remembered;
    return remembered;
}

void RunToItsEnd(QKeychain::Job &job)
{
    QEventLoop waiting;
    QObject::connect(&job, &QKeychain::Job::finished, &waiting, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

QString SecretKey(const PgSettings &settings)
{
    return settings.Describe();
}

SecretLookup ReadServerPassword(const PgSettings &settings, QString *password)
{
    const QString key = SecretKey(settings);
    if (RememberedForTheRun().contains(key)) {
        *password = RememberedForTheRun().value(key);
        return SecretLookup::Found;
    }
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    job.setInsecureFallback(false);  // a password in a settings file is what the store is for avoiding
    RunToItsEnd(job);
    if (job.error() == QKeychain::NoError) {
        *password = job.textData();
        return SecretLookup::Found;
    }
    return job.error() == QKeychain::EntryNotFound ? SecretLookup::NotStored : SecretLookup::NoStore;
}

bool KeepServerPassword(const PgSettings &settings, const QString &password)
{
    const QString key = SecretKey(settings);
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setInsecureFallback(false);
    job.setTextData(password);
    RunToItsEnd(job);
    if (job.error() == QKeychain::NoError) {
        RememberedForTheRun().remove(key);
        return true;
    }
    RememberedForTheRun().insert(key, password);
    return false;
}

void ForgetServerPassword(const PgSettings &settings)
{
    const QString key = SecretKey(settings);
    RememberedForTheRun().remove(key);
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    job.setInsecureFallback(false);
    RunToItsEnd(job);
}
