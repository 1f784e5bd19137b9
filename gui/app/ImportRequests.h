// A file to import handed to the copy of the program already running on this installation: the
// desktop starts `zarvel --import FILE` when a bill is opened with Zarvel, and a second copy must not
// open the ledger. The request goes over a local socket that only this user can reach; the running
// copy opens its import dialog on the file.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;

class ImportRequests : public QObject
{
    Q_OBJECT
public:
    explicit ImportRequests(QObject *parent = nullptr);

    // Starts taking requests. False when the socket cannot be made: a later start then cannot reach
    // this copy, and says so.
    bool Listen();
    // Where the files asked for go. Those asked before there was a handler (during the login) are
    // handed on now, one at a time, each once the event loop runs again.
    void Deliver(const std::function<void(const QString &file)> &handler);

    // Hands the file to the copy running on this installation; false when none took it in time.
    static bool SendToRunningCopy(const QString &file, int waitMs = 5000);
    // The socket's name: one per user and installation.
    static QString ServerName();

private:
    void Take(const QString &file);
    QLocalServer *m_server;
    std::function<void(const QString &)> m_handler;
    QStringList m_waiting;
};
