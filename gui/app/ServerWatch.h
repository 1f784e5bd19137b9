// Watches the server ledger for the running window: a connection of its own listens for the changes
// other copies commit, and notices when the server goes away; then the ledger's connection is made
// again every few seconds until the server is back.
#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>
#include <memory>

class PgConnection;
class QSocketNotifier;

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

private:
    void Stop();
    bool Listen();
    void ReadNotices();
    void Lose();
    void TryAgain();

    std::shared_ptr<PgConnection> m_listener;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QSet<QString> m_changed;
    QTimer m_gather;   // changes of one moment are told together
    QTimer m_retry;    // while the server is away
    bool m_lost = false;
};
