// Watches the server ledger for the running window: a connection of its own listens for the changes
// other copies commit, and notices when the server goes away; then the ledger's connection is made
// again every few seconds until the server is back.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <memory>

class PgConnection;
class QSocketNotifier;
class QThread;

class ServerWatch : public QObject
{
    Q_OBJECT
public:
    explicit ServerWatch(QObject *parent = nullptr);
    ~ServerWatch() override;

    // Starts listening to the server ledger in use (the books' connection must be open); stops when
    // the ledger file is used. Safe to call again after the ledger's place changed.
    void Follow();
    bool IsLost() const { return m_lost; }

signals:
    // Other copies committed changes to these tables (names in lower case), gathered over a moment.
    void othersChanged(const QSet<QString> &tables);
    // The server went away: told once, until connectionBack.
    void connectionLost();
    void connectionBack();
    // Why the server is still away, as its last try found (the database gone, the server not found).
    void stillAway(const QString &why);

private:
    void Stop();
    bool Listen();
    void ReadNotices();
    void Lose();
    void TryAgain();
    void Answered(const QString &why);

    std::shared_ptr<PgConnection> m_listener;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QSet<QString> m_changed;
    QTimer m_gather;   // changes of one moment are told together
    QTimer m_retry;    // while the server is away
    bool m_lost = false;
    QPointer<QThread> m_probe;  // the try under way
    QString m_why;
};
