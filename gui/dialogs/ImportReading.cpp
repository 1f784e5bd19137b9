// The import's reading on a thread of its own.
#include "ImportReading.h"

#include "db/DbError.h"
#include "db/SqliteConnection.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <new>

ImportReading::ImportReading(QObject *parent) : QObject(parent) {}

ImportReading::~ImportReading()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void ImportReading::Start(std::unique_ptr<CMoneyImport> plan, const QString &ledgerPath, Work work)
{
    if (m_thread)
        return;
    m_cancel = false;
    m_failure.clear();
    m_done.reset();
    m_working = std::move(plan);
    CMoneyImport *working = m_working.get();
    m_thread = QThread::create([this, working, ledgerPath, work = std::move(work)] {
        // Progress is handed to the dialog's thread at most every 50 ms: the bar needs no more.
        QElapsedTimer sinceTold;
        sinceTold.start();
        QString step;
        const TellStep tellStep = [&](const QString &name) {
            step = name;
            QMetaObject::invokeMethod(this, [this, name] { emit progressed(name, 0, 0); }, Qt::QueuedConnection);
        };
        const ImportProgress progress = [&](qsizetype done, qsizetype total) {
            if (done == total || sinceTold.elapsed() >= 50) {
                sinceTold.restart();
                QMetaObject::invokeMethod(this, [this, step, done, total] { emit progressed(step, done, total); },
                                          Qt::QueuedConnection);
            }
            return !m_cancel.load();
        };
        // Nothing may leave the thread: a failure is handed back as its text.
        QString failure;
        bool cancelled = false, keep = false;
        std::unique_ptr<SqlConnection> db;
        const Ledger ledger = [&]() -> SqlConnection & {
            if (!db)
                db = SqliteConnection::OpenAside(ledgerPath);
            return *db;
        };
        try {
            work(*working, ledger, tellStep, progress);
        } catch (const ImportCancelled &) {
            cancelled = true;
        } catch (const ImportRefused &refused) {
            failure = refused.message;
        } catch (const ImportToldAfter &told) {
            failure = told.message;
            keep = true;
        } catch (const DbError &error) {
            failure = error.Message();
        } catch (const std::bad_alloc &) {
            failure = QStringLiteral("内存不足，无法读取这个文件。");
        } catch (const std::exception &error) {
            failure = QString::fromLocal8Bit(error.what());
        } catch (...) {
            failure = QStringLiteral("读取文件时出错。");
        }
        QMetaObject::invokeMethod(this, [this, failure, cancelled, keep] {
            // A cancel asked after the work's last step still holds: nothing is handed back.
            m_failure = cancelled || m_cancel ? QString() : failure;
            if (!cancelled && !m_cancel && (failure.isEmpty() || keep))
                m_done = std::move(m_working);
            Ended();
        }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void ImportReading::Ended()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_working.reset();
    emit finished();
}

void ImportReading::Wait()
{
    if (!m_thread)
        return;
    QEventLoop waiting;
    connect(this, &ImportReading::finished, &waiting, &QEventLoop::quit);
    waiting.exec();
}
