// Import requests between two starts of the program on one installation.
#include "ImportRequests.h"

#include "common/Paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QUrl>

namespace {

constexpr qint64 kLongestRequest = 64 * 1024;  // a path, however deep
const QByteArray kTaken("taken\n");

} // namespace

ImportRequests::ImportRequests(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kLongestRequest)
                        socket->abort();  // not a request of ours
                    return;
                }
                // Percent-encoded by the sender: a file's name may hold a line break.
                const QString file = QString::fromUtf8(QByteArray::fromPercentEncoding(socket->readLine(kLongestRequest).trimmed()));
                socket->write(kTaken);
                socket->flush();
                socket->disconnectFromServer();
                if (!file.isEmpty())
                    Take(file);
            });
        }
    });
}

QString ImportRequests::ServerName()
{
    const QByteArray where = (QDir(DataDirectory()).canonicalPath() + QLatin1Char('\n') + QDir::homePath()).toUtf8();
    return QStringLiteral("zarvel-") + QString::fromLatin1(QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex().left(20));
}

bool ImportRequests::Listen()
{
    // A socket a copy still answers on is left alone (listening would take its name over); one left by
    // a copy that crashed is removed first.
    const QString name = ServerName();
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500))
        return false;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

void ImportRequests::Deliver(const std::function<void(const QString &)> &handler)
{
    m_handler = handler;
    const QStringList waiting = std::exchange(m_waiting, {});
    for (const QString &file : waiting)
        Take(file);
}

void ImportRequests::Take(const QString &file)
{
    if (!m_handler) {
        m_waiting << file;
        return;
    }
    // Not from within the socket's own signal: the import dialog runs an event loop of its own.
    QTimer::singleShot(0, this, [this, file] {
        if (m_handler)
            m_handler(file);
    });
}

bool ImportRequests::SendToRunningCopy(const QString &file, int waitMs)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(waitMs))
        return false;
    socket.write(QUrl::toPercentEncoding(file) + '\n');
    if (!socket.waitForBytesWritten(waitMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(waitMs))
            return false;
    }
    return socket.readLine() == kTaken;
}
