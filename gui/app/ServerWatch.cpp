// The listener is a second connection: the books' connection runs statements, and a notice must be
// read the moment it comes, whatever the books do.
#include "ServerWatch.h"

#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"

#include <QSocketNotifier>
#include <QThread>

namespace {

// The books' connection to the server ledger; null when the ledger file is used or none is open.
std::shared_ptr<PgConnection> BooksConnection()
{
    if (!UsesServerLedger())
        return nullptr;
    try {
        return std::dynamic_pointer_cast<PgConnection>(OpenLedgerDatabase());
    } catch (const DbError &) {
        return nullptr;
    }
}

} // namespace

ServerWatch::ServerWatch(QObject *parent) : QObject(parent)
{
    constexpr int kGatherMs = 150, kRetryMs = 3000;
    m_gather.setSingleShot(true);
    m_gather.setInterval(kGatherMs);
    connect(&m_gather, &QTimer::timeout, this, [this] {
        const QSet<QString> tables = std::exchange(m_changed, {});
        if (!tables.isEmpty())
            emit othersChanged(tables);
    });
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ServerWatch::TryAgain);
}

ServerWatch::~ServerWatch()
{
    // A try under way tells a watch that is gone nothing: it is let end first.
    if (m_probe)
        m_probe->wait();
}

void ServerWatch::Follow()
{
    Stop();
    m_lost = false;
    if (!UsesServerLedger())
        return;
    if (!Listen())
        Lose();
}

void ServerWatch::Stop()
{
    m_notifier.reset();
    m_listener.reset();
    m_retry.stop();
    m_gather.stop();
    m_changed.clear();
}

bool ServerWatch::Listen()
{
    m_notifier.reset();
    m_listener.reset();
    const PgSettings *settings = ServerLedgerSettings();
    if (!settings)
        return false;
    try {
        std::shared_ptr<PgConnection> opened = PgConnection::Open(*settings);
        opened->Execute(QStringLiteral("LISTEN ") + ServerChangesChannel());
        m_listener = std::move(opened);
    } catch (const DbError &) {
        return false;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_listener->Socket(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ServerWatch::ReadNotices);
    return true;
}

void ServerWatch::ReadNotices()
{
    if (!m_listener)
        return;
    const std::shared_ptr<PgConnection> books = BooksConnection();
    QStringList payloads;
    if (!m_listener->TakeNotifications(&payloads, books ? books->BackendPid() : 0)) {
        Lose();
        return;
    }
    for (const QString &table : std::as_const(payloads))
        m_changed.insert(table);
    if (!m_changed.isEmpty() && !m_gather.isActive())
        m_gather.start();
}

void ServerWatch::Lose()
{
    m_notifier.reset();
    m_listener.reset();
    if (!m_retry.isActive())
        m_retry.start();
    if (m_lost)
        return;
    m_lost = true;
    emit connectionLost();
}

void ServerWatch::TryAgain()
{
    const PgSettings *settings = ServerLedgerSettings();
    if (m_probe || !settings)
        return;  // one try at a time
    // A server that is away may keep a new connection waiting for seconds: it is tried on a thread of
    // its own, so the window keeps answering; the books' connection is made again once it answers.
    m_probe = QThread::create([this, server = *settings] {
        QString why;
        try {
            const std::shared_ptr<PgConnection> db = PgConnection::Open(server);
            if (LookAtServerDatabase(*db) != ServerContents::Ledger)
                why = QStringLiteral("服务器上的数据库 %1 中已没有帐本。").arg(server.database);
        } catch (const DbError &error) {
            why = error.Explanation();
        }
        QMetaObject::invokeMethod(this, [this, why] { Answered(why); }, Qt::QueuedConnection);
    });
    connect(m_probe, &QThread::finished, m_probe, &QObject::deleteLater);
    m_probe->start();
}

void ServerWatch::Answered(const QString &why)
{
    const std::shared_ptr<PgConnection> books = why.isEmpty() ? BooksConnection() : nullptr;
    if (!books || !books->Reconnect() || !Listen()) {
        if (why != m_why) {
            m_why = why;
            emit stillAway(why);
        }
        return;
    }
    m_why.clear();
    m_retry.stop();
    // Whatever others wrote while nobody listened is read again.
    books->NoteChangeOfAll();
    if (std::exchange(m_lost, false))
        emit connectionBack();
}
