// What can be taken back: every change written to the ledger's books, kept beside it in the same
// transaction, so that the last changes of the run can be reversed (撤销) and the records deleted in
// the last 30 days put back (回收站).
//
// Each change the books commit is kept whole in the table UndoLog (the records before and after) with,
// for every record it changed, a digest of the record as the change left it. Taking a change back is
// one transaction that puts every record back as it was, IDs included; the kept totals, month figures
// and list blocks follow by their triggers. A record changed again since (by another copy of the
// program, or in a way not kept) stops it whole. Each record deleted is also kept in the table Recycle
// with when it was deleted.
#pragma once

#include "db/SqlConnection.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// A record in the recycle bin.
struct RecycledRecord
{
    qint64 id = 0;          // in the recycle bin
    QDateTime deleted;
    QString table;
    QString book;           // as the household knows it: 收支, 定期存款 …
    qint64 recordId = 0;    // the record's ID in its table
    QString summary;        // what the record said
};

class ChangeJournal : public IChangeRecorder
{
public:
    static constexpr int kKeptChanges = 100;   // of the run, the oldest forgotten first
    static constexpr int kRecycleDays = 30;

    using Clock = std::function<QDateTime()>;
    // Keeps the changes of the connection's transactions from now on.
    explicit ChangeJournal(const std::shared_ptr<SqlConnection> &db, Clock now = {});
    ~ChangeJournal() override;
    ChangeJournal(const ChangeJournal &) = delete;
    ChangeJournal &operator=(const ChangeJournal &) = delete;

    // Whether a change of this run can be taken back, and what the last one did, in the household's
    // words ("删除 1 条收支记录：2026-05-01 餐饮 -120"). Throws DbError.
    bool CanTakeBack() const { return !m_run.empty(); }
    QString LastChangeText();

    enum class TakeBack { Done, Nothing, ChangedSince };
    // Takes the last change of the run back in one transaction. ChangedSince: a record it wrote is no
    // longer as it left it; nothing is taken back, and the change is dropped from what can be taken
    // back (the one before it comes next). Throws DbError (nothing taken back).
    TakeBack TakeBackLast();

    // The records deleted in the last 30 days, the latest first. Throws DbError.
    QList<RecycledRecord> Recycled();
    // Puts the records of the recycle bin back, with their IDs, in one transaction that can itself be
    // taken back. A policy comes back with the activities deleted with it, a recurring record with the
    // marks of its dates. Refused whole (the reason returned, nothing written) when one cannot be put
    // back: a policy of that name is in the ledger again, an activity's policy is not. Throws DbError.
    QString Restore(const QList<qint64> &recycledIds);

    // Forgets every change of the run (the ledger was replaced by a copy).
    void Forget();

    // What a change does, in the household's words: per book, how many records it added, changed or
    // deleted, and what the first of them says.
    QString Describe(const std::vector<RecordedChange> &changes);

    // IChangeRecorder
    QStringList RecordedTables() const override;
    void Committing(SqlConnection &db, const QByteArray &changes) override;
    void Committed() override;
    void Replaced() override { Forget(); }

private:
    SqlConnection &Db() const;
    void EnsureTables();
    QStringList ColumnsOf(const QString &table);
    QString RowDigest(const QString &table, const std::vector<SqlValue> &key);
    std::vector<SqlValue> KeyOf(const QString &table, const RecordedChange &change);
    QString Checks(const std::vector<RecordedChange> &changes);
    bool ChecksHold(const QString &checks);
    void KeepDeleted(const std::vector<RecordedChange> &changes, qint64 change, const QString &deleted);

    std::weak_ptr<SqlConnection> m_db;
    Clock m_now;
    qint64 m_runToken;
    std::vector<qint64> m_run;   // the UndoLog IDs of the run's changes, oldest first
    qint64 m_pending = 0;        // written by the transaction now committing
    bool m_firstOfRun = true;
    bool m_restoring = false;    // the change committing puts records back from the recycle bin
    QHash<QString, QStringList> m_columns;
};

// The journal of the ledger's connection (db/Ledger.h), made when the connection is first opened.
ChangeJournal &LedgerJournal();
