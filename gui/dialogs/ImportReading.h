// A bill's reading, matching and any rereading after a change of layout, done on a thread of its own
// so that the dialog shows at once and keeps answering: the work is done on a plan of its own (a new
// one, or a copy of the one shown) with a connection of its own to the ledger, and handed back whole
// when it ends. A cancelled or failed reading hands back nothing.
#pragma once

#include "transfer/MoneyImport.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;
class SqlConnection;

// Thrown by the work for a file it cannot take: the message is told as it stands.
struct ImportRefused
{
    QString message;
};
// Thrown by the work when a later step failed but the plan is whole as far as it went (rows read,
// the ledger's records not matched): the plan is handed back, and the message told over it.
struct ImportToldAfter
{
    QString message;
};

class ImportReading : public QObject
{
    Q_OBJECT
public:
    // What the work tells between its steps: the step's name, shown above the bar.
    using TellStep = std::function<void(const QString &step)>;
    // The ledger, opened the first time the work asks for it (a connection of the work's own).
    using Ledger = std::function<SqlConnection &()>;
    using Work = std::function<void(CMoneyImport &plan, const Ledger &ledger, const TellStep &step, const ImportProgress &progress)>;

    explicit ImportReading(QObject *parent = nullptr);
    ~ImportReading() override;

    // Starts the work on the plan, with a connection to the ledger file at the path. One at a time.
    void Start(std::unique_ptr<CMoneyImport> plan, const QString &ledgerPath, Work work);
    bool Running() const { return m_thread != nullptr; }
    // Asks the work to stop at its next step; finished() follows with nothing to take.
    void Cancel() { m_cancel = true; }
    // Answers events until the work has ended (tests and measurements).
    void Wait();

    // After finished(): the plan as the work left it (nothing when it failed or was cancelled), and
    // the failure's text (empty when it did not fail).
    std::unique_ptr<CMoneyImport> TakePlan() { return std::move(m_done); }
    QString Failure() const { return m_failure; }

signals:
    void progressed(const QString &step, qint64 done, qint64 total);
    void finished();

private:
    void Ended();

    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<CMoneyImport> m_working, m_done;
    QString m_failure;
};
