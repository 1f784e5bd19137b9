// Two copies of the program writing one server ledger: a change of a record the other copy changed or
// deleted since it was shown is refused and the row shown as it now is; the record's lock makes the
// loser of a race wait and then be refused rather than write over the winner; confirming the same due
// records, or closing the same account, at once writes once; an import whose connection is lost in
// the middle leaves nothing. Copy A opens the ledger as the program does, copy B through a connection
// of its own (LedgerConnectionScope); a third plain connection looks, locks and kills.
#include "common/LedgerDate.h"
#include "db/CCurrentBook.h"
#include "db/CInsureBook.h"
#include "db/CInsureNoteBook.h"
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"
#include "recurring/CRecurringBook.h"

#include "MessageRecorder.h"
#include "PgTestServer.h"
#include "TestInstallation.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QThread>
#include <exception>
#include <optional>
#include <thread>
#include <tuple>

namespace {

const QString kSchema = QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql");

qint64 Number(SqlConnection &db, const QString &sql)
{
    SqlStatement read = db.Prepare(sql);
    return read.Step() ? read.Int(0) : -1;
}

// One income/expense record as the table holds it: item, amount, member, note.
QString MoneyRecord(SqlConnection &db, qint64 id)
{
    return QueryRowTexts(db, QStringLiteral("SELECT \"Item\", \"Money\", \"Member\", \"Explain\" FROM \"Money\" WHERE \"ID\" = %1").arg(id)).value(0);
}

// The totals the ledger keeps equal what its records say afresh.
bool KeptTotalsTrue(SqlConnection &db)
{
    const auto cents = [](const QString &table, const QString &column, const QString &where) {
        return QStringLiteral("SELECT COALESCE(sum(CAST(round(\"%1\" * 100) AS INTEGER)), 0) FROM \"%2\"%3").arg(column, table, where);
    };
    const bool money = KeptFigure(db, QStringLiteral("Money"), QStringLiteral("count")) == Number(db, QStringLiteral("SELECT count(*) FROM \"Money\""))
                       && KeptFigure(db, QStringLiteral("Money"), QStringLiteral("Money")) == Number(db, cents(QStringLiteral("Money"), QStringLiteral("Money"), QString()));
    const bool current = KeptFigure(db, QStringLiteral("Current"), QStringLiteral("Money"), QStringLiteral("MKind='人民币'"))
                         == Number(db, cents(QStringLiteral("Current"), QStringLiteral("Money"), QStringLiteral(" WHERE \"MKind\" = '人民币'")));
    return money && current;
}

// How a change was refused, or nothing when it was not.
template <class Change>
std::optional<RecordChangedElsewhere::How> Refusal(Change &&change, QString *message = nullptr)
{
    try {
        change();
    } catch (const RecordChangedElsewhere &refused) {
        if (message)
            *message = refused.Message();
        return refused.Kind();
    }
    return std::nullopt;
}

// What a list view is told of its rows.
class RowWatcher : public IBookListener
{
public:
    explicit RowWatcher(CBook &book) : m_book(book) { book.AddListener(this); }
    ~RowWatcher() override { m_book.RemoveListener(this); }
    void RowsReset() override {}
    void RowInserted(int) override {}
    void RowRemoved(int row) override { removed.append(row); }
    void RowChanged(int row) override { changed.append(row); }
    void SelectionChanged(int) override {}
    QList<int> changed, removed;

private:
    CBook &m_book;
};

// A change run on a thread of its own, as another computer's would run beside this one's.
class Racer
{
public:
    // connection: the copy's own (B), or none for the ledger's (A).
    Racer(std::shared_ptr<SqlConnection> connection, std::function<void()> change)
        : m_thread([this, connection, change = std::move(change)] {
              std::optional<LedgerConnectionScope> scope;
              if (connection)
                  scope.emplace(connection);
              try {
                  change();
              } catch (const RecordChangedElsewhere &refused) {
                  refusal = refused.Kind();
              } catch (...) {
                  failure = std::current_exception();
              }
          })
    {
    }
    ~Racer()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    void Join() { m_thread.join(); }
    // What else went wrong, as text.
    QString Failure() const
    {
        if (!failure)
            return QString();
        try {
            std::rethrow_exception(failure);
        } catch (const DbError &error) {
            return error.Message();
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
    }

    std::optional<RecordChangedElsewhere::How> refusal;
    std::exception_ptr failure;

private:
    std::thread m_thread;
};

// A server ledger and the connections of the two copies and of the onlooker.
struct TwoCopies
{
    TwoCopies()
    {
        LayServerLedger(*PgConnection::Open(database.Settings()), kSchema);
        UseServerLedger(database.Settings());
        OpenLedgerDatabase();  // copy A's start lays the kept figures; B's finds them
        b = PgConnection::Open(database.Settings());
        EnsureKeptFigures(*b);
        look = PgConnection::Open(database.Settings());
    }
    ~TwoCopies() { UseLedgerFile(); }

    // Runs what copy B does: its books open (and keep) its own connection.
    template <class Work>
    auto AsB(Work &&work)
    {
        const LedgerConnectionScope scope(b);
        return work();
    }
    // The server process of a connection.
    static qint64 Backend(SqlConnection &db) { return Number(db, QStringLiteral("SELECT pg_backend_pid()")); }
    // Waits until so many connections of the ledger wait for a lock; false when they never do.
    bool WaitersReach(int count)
    {
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            if (Number(*look, QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                             "AND wait_event_type = 'Lock'")) >= count)
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    // Copy A's and copy B's changes started while the onlooker holds a table (lock), so that both are
    // under way at once; what each was refused, once both ended, or what else went wrong.
    struct RaceResult
    {
        std::optional<RecordChangedElsewhere::How> a, b;
        QString failure;
    };
    RaceResult Race(const QString &lock, std::function<void()> changeA, std::function<void()> changeB)
    {
        look->Execute(QStringLiteral("BEGIN"));
        look->Execute(lock);
        Racer racerA(nullptr, std::move(changeA));
        Racer racerB(b, std::move(changeB));
        RaceResult result;
        if (!WaitersReach(2))
            result.failure = QStringLiteral("the two changes never waited for the table together");
        look->Execute(QStringLiteral("COMMIT"));
        racerA.Join();
        racerB.Join();
        if (result.failure.isEmpty())
            result.failure = racerA.Failure().isEmpty() ? racerB.Failure() : racerA.Failure();
        result.a = racerA.refusal;
        result.b = racerB.refusal;
        return result;
    }
    bool Waits(qint64 backend)
    {
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            if (Number(*look, QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1 AND wait_event_type = 'Lock'").arg(backend)) == 1)
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    TestDatabase database;
    TestInstallation install;  // the list files come from the installation folder
    MessageRecorder messages;
    std::shared_ptr<PgConnection> b;
    std::shared_ptr<PgConnection> look;
};

const QStringList kFirstThree{QStringLiteral("第一笔"), QStringLiteral("第二笔"), QStringLiteral("第三笔")};

// Three expenses on three days of March, listed in that order.
void AddThree(CMoneyBook &book)
{
    book.ShowPage(1, QStringLiteral("Date"));
    for (int i = 0; i < 3; ++i)
        book.Add(LedgerDateTime(QDate(2026, 3, 10 + i), QTime(9, 0)), QStringLiteral("餐饮"), -10.0 * (i + 1), QStringLiteral("妈妈"),
                 kFirstThree.at(i));
}

QDateTime Day(int day, QTime time = QTime(9, 0))
{
    return LedgerDateTime(QDate(2026, 3, day), time);
}

} // namespace

class TestPgConflicts : public QObject
{
    Q_OBJECT
private slots:
    void aRecordChangedElsewhereIsNotWrittenOver()
    {
        TwoCopies copies;
        CMoneyBook a;
        AddThree(a);
        CMoneyBook b;
        copies.AsB([&] { b.ShowPage(1, QStringLiteral("Date")); });
        QCOMPARE(b.GetItemCount(), 3);
        const qint64 id = b.GetItemData(1);
        QCOMPARE(a.GetItemData(1), id);
        QCOMPARE(b.GetItemText(1, 5), kFirstThree.at(1));  // what B shows
        RowWatcher watcher(b);

        a.SetSelected(1);
        QVERIFY(a.Modify(Day(11), QStringLiteral("交通"), -25.5, QStringLiteral("爸爸"), QStringLiteral("A 改的")));

        // B's change from what it showed: refused, nothing written, the row shows A's record.
        b.SetSelected(1);
        QString message;
        QVERIFY(Refusal([&] { copies.AsB([&] { b.Modify(Day(11), QStringLiteral("餐饮"), -99, QStringLiteral("妈妈"), QStringLiteral("B 改的")); }); },
                         &message) ==
                 RecordChangedElsewhere::How::Changed);
        QVERIFY2(message.contains(QStringLiteral("另一台电脑修改")), qPrintable(message));
        QCOMPARE(MoneyRecord(*copies.look, id), QStringLiteral("交通|-25.5|爸爸|A 改的"));
        QCOMPARE(b.GetRowTexts(1), a.GetRowTexts(1));
        QCOMPARE(watcher.changed, QList<int>{1});
        QCOMPARE(b.GetSelected(), 1);

        // A changes it again; B's delete of what it shows is refused too, and the record stays.
        QVERIFY(a.Modify(Day(11), QStringLiteral("交通"), -30, QStringLiteral("爸爸"), QStringLiteral("A 又改")));
        QVERIFY(Refusal([&] { copies.AsB([&] { b.Remove(); }); }) == RecordChangedElsewhere::How::Changed);
        QCOMPARE(MoneyRecord(*copies.look, id), QStringLiteral("交通|-30.0|爸爸|A 又改"));
        QCOMPARE(b.GetItemCount(), 3);
        QCOMPARE(b.GetItemText(1, 5), QStringLiteral("A 又改"));

        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Explain\" LIKE 'B%'")), 0);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\"")), 3);
        QVERIFY(KeptTotalsTrue(*copies.look));
        QVERIFY(copies.messages.messages.isEmpty());  // told by the refusal, to the dialog that asked

        // B, now showing A's record, changes it knowingly; then A, showing its own, is refused in turn.
        QVERIFY(copies.AsB([&] { return b.Modify(Day(11), QStringLiteral("交通"), -31, QStringLiteral("爸爸"), QStringLiteral("B 看过再改")); }));
        QCOMPARE(MoneyRecord(*copies.look, id), QStringLiteral("交通|-31.0|爸爸|B 看过再改"));
        QVERIFY(Refusal([&] { a.Remove(); }) == RecordChangedElsewhere::How::Changed);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\"")), 3);
        a.ComputeTotal();
        QCOMPARE(a.GetTotalCents(), -1000 - 3100 - 3000);
        QVERIFY(KeptTotalsTrue(*copies.look));
    }

    void aRecordDeletedElsewhereLeavesTheList()
    {
        TwoCopies copies;
        CMoneyBook a;
        AddThree(a);
        CMoneyBook b;
        copies.AsB([&] { b.ShowPage(1, QStringLiteral("Date")); });
        QCOMPARE(b.GetItemText(0, 5), kFirstThree.at(0));
        QCOMPARE(b.GetItemText(2, 5), kFirstThree.at(2));
        const qint64 first = b.GetItemData(0), last = b.GetItemData(2);
        RowWatcher watcher(b);

        a.SetSelected(2);
        a.Remove();
        a.SetSelected(0);
        a.Remove();
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\"")), 1);

        // B's change of a record A deleted: refused, its row goes and nothing stays selected (the
        // dialog's next save must not fall on a neighbour).
        b.SetSelected(2);
        QString message;
        QVERIFY(Refusal([&] { copies.AsB([&] { b.Modify(Day(12), QStringLiteral("餐饮"), -5, QStringLiteral("妈妈"), QStringLiteral("B 改的")); }); },
                         &message) ==
                 RecordChangedElsewhere::How::Deleted);
        QVERIFY2(message.contains(QStringLiteral("另一台电脑删除")), qPrintable(message));
        QCOMPARE(watcher.removed, QList<int>{2});
        QCOMPARE(b.GetItemCount(), 2);
        QCOMPARE(b.GetSelected(), -1);
        // Its delete of the other: refused the same way.
        b.SetSelected(0);
        QVERIFY(Refusal([&] { copies.AsB([&] { b.Remove(); }); }) == RecordChangedElsewhere::How::Deleted);
        QCOMPARE(b.GetItemCount(), 1);
        QCOMPARE(b.GetItemText(0, 5), kFirstThree.at(1));

        // Nothing came back, nothing of B's was written, and the totals are the one record's.
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"ID\" IN (%1, %2)").arg(first).arg(last)), 0);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\"")), 1);
        QVERIFY(KeptTotalsTrue(*copies.look));
        QCOMPARE(KeptFigure(*copies.look, QStringLiteral("Money"), QStringLiteral("Money")).value_or(-1), qint64(-2000));
    }

    void aColumnTheListDoesNotShowIsGuardedToo()
    {
        TwoCopies copies;
        CMoneyBook a;
        AddThree(a);
        CMoneyBook b;
        copies.AsB([&] { b.ShowPage(1, QStringLiteral("Date")); });
        const QStringList shown = b.GetRowTexts(0);

        // The list shows the day; A changes only the time of day.
        a.SetSelected(0);
        QVERIFY(a.Modify(Day(10, QTime(18, 30)), QStringLiteral("餐饮"), -10, QStringLiteral("妈妈"), kFirstThree.at(0)));
        QCOMPARE(a.GetRowTexts(0), shown);
        b.SetSelected(0);
        QVERIFY(Refusal([&] { copies.AsB([&] { b.Modify(Day(10), QStringLiteral("餐饮"), -10, QStringLiteral("妈妈"), QStringLiteral("B")); }); }) ==
                 RecordChangedElsewhere::How::Changed);
        QCOMPARE(QueryRowTexts(*copies.look, QStringLiteral("SELECT \"Date\", \"Explain\" FROM \"Money\" WHERE \"ID\" = %1").arg(b.GetItemData(0))),
                 QStringList{QStringLiteral("2026-03-10 18:30:00|") + kFirstThree.at(0)});

        // The policy list shows the name and the sum paid; A changes the insurer. B's delete from the
        // list, and B's policy dialog opened before, are refused.
        CInsureNoteBook policiesA;
        policiesA.AddPolicy(QStringLiteral("平安福"), QStringLiteral("寿险"), QStringLiteral("平安"), QStringLiteral("3000"), QStringLiteral("500000"),
                            QStringLiteral("0"), 20, QStringLiteral("2026-01-01"), QString(), QStringLiteral("爸爸"), QStringLiteral("妈妈"),
                            QStringLiteral("爸爸"), QString());
        CInsureNoteBook policiesB;
        std::optional<CInsureNoteBook::Policy> dialogB;
        copies.AsB([&] {
            policiesB.Fill(QStringLiteral("Name"));
            dialogB = CInsureNoteBook().ReadPolicy(QStringLiteral("平安福"));
        });
        QVERIFY(dialogB && dialogB->version != 0);
        QCOMPARE(policiesB.GetItemText(0, 0), QStringLiteral("平安福"));
        QVERIFY(policiesA.EditPolicy(QStringLiteral("平安福"), QStringLiteral("寿险"), QStringLiteral("太平洋"), QStringLiteral("3000"),
                                     QStringLiteral("500000"), 20, QStringLiteral("2026-01-01"), QString(), QStringLiteral("爸爸"),
                                     QStringLiteral("妈妈"), QStringLiteral("爸爸"), QString()));
        QVERIFY(Refusal([&] {
                     copies.AsB([&] {
                         CInsureNoteBook().EditPolicy(QStringLiteral("平安福"), QStringLiteral("寿险"), QStringLiteral("平安"), QStringLiteral("2000"),
                                                      QStringLiteral("500000"), 20, QStringLiteral("2026-01-01"), QString(),
                                                      QStringLiteral("爸爸"), QStringLiteral("妈妈"), QStringLiteral("爸爸"), QString(),
                                                      dialogB->version);
                     });
                 }) ==
                 RecordChangedElsewhere::How::Changed);
        policiesB.SetSelected(0);
        QVERIFY(Refusal([&] { copies.AsB([&] { policiesB.Remove(); }); }) == RecordChangedElsewhere::How::Changed);
        QCOMPARE(QueryRowTexts(*copies.look, QStringLiteral("SELECT \"InsureOrgen\", \"PayMoney\" FROM \"InsureNote\"")),
                 QStringList{QStringLiteral("太平洋|3000.0")});
    }

    void aCopysOwnChangesAreNeverTakenForAnothers()
    {
        TwoCopies copies;
        copies.AsB([&] {
            CMoneyBook b;
            AddThree(b);
            // Edit after edit of the same row, the added one too.
            for (int round = 0; round < 4; ++round) {
                b.SetSelected(round % 3);
                QVERIFY(b.Modify(Day(10 + round % 3, QTime(8 + round, 0)), QStringLiteral("餐饮"), -1.0 - round, QStringLiteral("妈妈"),
                                 QStringLiteral("改 %1").arg(round)));
            }
            // Another book of the same copy shows the records as they were, then changes them.
            CMoneyBook other;
            other.ShowPage(1, QStringLiteral("Date"));
            (void)other.GetRowTexts(0);
            b.SetSelected(0);
            QVERIFY(b.Modify(Day(10), QStringLiteral("交通"), -7, QStringLiteral("妈妈"), QStringLiteral("b 改的")));
            other.SetSelected(0);
            QVERIFY(other.Modify(Day(10), QStringLiteral("交通"), -8, QStringLiteral("妈妈"), QStringLiteral("other 改的")));
            b.SetSelected(0);
            QVERIFY(b.Remove());

            // A premium written through the activities book changes the sum paid the policy list shows.
            CInsureNoteBook policies;
            policies.AddPolicy(QStringLiteral("平安福"), QStringLiteral("寿险"), QStringLiteral("平安"), QStringLiteral("3000"),
                               QStringLiteral("500000"), QStringLiteral("0"), 20, QStringLiteral("2026-01-01"), QString(),
                               QStringLiteral("爸爸"), QStringLiteral("妈妈"), QStringLiteral("爸爸"), QString());
            policies.Fill(QStringLiteral("Name"));
            QCOMPARE(policies.GetItemText(0, 1), QStringLiteral("0"));
            CInsureBook activities;
            activities.Fill(QStringLiteral("Date"));
            QVERIFY(activities.Add(QStringLiteral("2026-02-01"), QStringLiteral("平安福"), QStringLiteral("缴纳保费"), QStringLiteral("-3000"),
                                   QStringLiteral("爸爸"), QString()));
            const std::optional<CInsureNoteBook::Policy> read = CInsureNoteBook().ReadPolicy(QStringLiteral("平安福"));
            QVERIFY(read);
            QCOMPARE(read->payed, QStringLiteral("3000"));
            policies.SetSelected(0);
            policies.Remove();
        });
        QCOMPARE(QueryRowTexts(*copies.look, QStringLiteral("SELECT \"Explain\" FROM \"Money\" ORDER BY \"Date\"")),
                 (QStringList{QStringLiteral("改 1"), QStringLiteral("改 2")}));
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"InsureNote\"")), 0);
        QVERIFY(KeptTotalsTrue(*copies.look));
        QVERIFY2(copies.messages.messages.isEmpty(), qPrintable(copies.messages.Last()));
    }

    void theLoserOfARaceWaitsForTheLockAndIsRefused()
    {
        TwoCopies copies;
        CMoneyBook a;
        AddThree(a);
        a.SetSelected(1);
        (void)a.GetRowTexts(1);
        const qint64 id = a.GetItemData(1);

        // B is in the middle of its own change of the record: read, locked, written, not yet committed.
        copies.b->Execute(QStringLiteral("BEGIN"));
        copies.b->Execute(QStringLiteral("SELECT * FROM \"Money\" WHERE \"ID\" = %1 FOR UPDATE").arg(id));
        copies.b->Execute(QStringLiteral("UPDATE \"Money\" SET \"Money\" = -77, \"Explain\" = 'B 的' WHERE \"ID\" = %1").arg(id));

        // A's change meanwhile waits for B's lock: what it read before B committed is not what it checks.
        const qint64 backendA = TwoCopies::Backend(*OpenLedgerDatabase());
        Racer racer(nullptr, [&] { a.Modify(Day(11), QStringLiteral("交通"), -1, QStringLiteral("爸爸"), QStringLiteral("A 的")); });
        QVERIFY(copies.Waits(backendA));
        copies.b->Execute(QStringLiteral("COMMIT"));
        racer.Join();
        QVERIFY2(racer.Failure().isEmpty(), qPrintable(racer.Failure()));
        QVERIFY(racer.refusal == RecordChangedElsewhere::How::Changed);
        QCOMPARE(MoneyRecord(*copies.look, id), QStringLiteral("餐饮|-77.0|妈妈|B 的"));
        QCOMPARE(a.GetItemText(1, 5), QStringLiteral("B 的"));
        QVERIFY(KeptTotalsTrue(*copies.look));
    }

    void twoCopiesChangingOneRecordAtOnceWriteOnce()
    {
        TwoCopies copies;
        CMoneyBook a, b;
        AddThree(a);
        copies.AsB([&] { b.ShowPage(1, QStringLiteral("Date")); });
        a.SetSelected(0);
        b.SetSelected(0);
        (void)a.GetRowTexts(0);
        (void)b.GetRowTexts(0);
        const qint64 id = a.GetItemData(0);

        // Both start their change while the table is held, so that both are under way at once.
        const TwoCopies::RaceResult race =
            copies.Race(QStringLiteral("LOCK TABLE \"Money\" IN EXCLUSIVE MODE"), [&] { a.Modify(Day(10), QStringLiteral("餐饮"), -11, QStringLiteral("妈妈"), QStringLiteral("A 的")); }, [&] { b.Modify(Day(10), QStringLiteral("餐饮"), -22, QStringLiteral("妈妈"), QStringLiteral("B 的")); });
        QVERIFY2(race.failure.isEmpty(), qPrintable(race.failure));

        // One wrote, the other was refused and shows the winner's record.
        QCOMPARE(int(race.a.has_value()) + int(race.b.has_value()), 1);
        const bool aWon = !race.a;
        QCOMPARE(MoneyRecord(*copies.look, id), aWon ? QStringLiteral("餐饮|-11.0|妈妈|A 的") : QStringLiteral("餐饮|-22.0|妈妈|B 的"));
        QCOMPARE(a.GetItemText(0, 5), aWon ? QStringLiteral("A 的") : QStringLiteral("B 的"));
        QCOMPARE(b.GetItemText(0, 5), aWon ? QStringLiteral("A 的") : QStringLiteral("B 的"));
        QVERIFY(KeptTotalsTrue(*copies.look));
    }

    void twoCopiesConfirmingTheSameDueRecordsWriteThemOnce()
    {
        TwoCopies copies;
        CMoneyBook a, b;
        a.ShowPage(1, QStringLiteral("Date"));
        CRecurringBook recurringA(OpenLedgerDatabase());
        RecurringTemplate rent;
        rent.item = QStringLiteral("房租");
        rent.amount = -3500;
        rent.member = QStringLiteral("爸爸");
        rent.rule.unit = RepeatUnit::Months;
        rent.rule.first = QDate(2026, 1, 31);
        rent.rule.every = 1;
        QCOMPARE(recurringA.Add(rent), QString());
        CRecurringBook recurringB(copies.b);
        copies.AsB([&] { b.ShowPage(1, QStringLiteral("Date")); });
        // Both copies were offered the same due records at start.
        const std::vector<DueRecord> dueA = recurringA.DueUpTo(QDate(2026, 4, 30));
        const std::vector<DueRecord> dueB = recurringB.DueUpTo(QDate(2026, 4, 30));
        QCOMPARE(dueA.size(), size_t(4));  // the last days of January to April
        QCOMPARE(dueB.size(), size_t(4));

        qsizetype writtenA = -1, writtenB = -1;
        const TwoCopies::RaceResult race =
            copies.Race(QStringLiteral("LOCK TABLE \"RecurringDone\" IN SHARE MODE"), [&] { writtenA = recurringA.Confirm(a, dueA, {}); }, [&] { writtenB = recurringB.Confirm(b, dueB, {}); });
        QVERIFY2(race.failure.isEmpty(), qPrintable(race.failure));

        // One copy wrote the four, the other none (and its dialog says they were written already).
        QCOMPARE(writtenA + writtenB, qsizetype(4));
        QVERIFY(writtenA == 0 || writtenB == 0);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Item\" = '房租'")), 4);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"RecurringDone\"")), 4);
        QVERIFY(KeptTotalsTrue(*copies.look));
        QCOMPARE(recurringB.DueUpTo(QDate(2026, 4, 30)).size(), size_t(0));
    }

    void twoCopiesClosingTheSameAccountCloseItOnce()
    {
        TwoCopies copies;
        CCurrentBook a, b;
        a.Fill(QStringLiteral("Date"));
        for (const auto &[day, account, money] : {std::tuple{"2026-01-05", "工资卡", "5000"}, std::tuple{"2026-02-05", "工资卡", "5000"},
                                                  std::tuple{"2026-02-06", "零钱", "300"}, std::tuple{"2026-03-01", "工资卡", "-1200"}})
            QVERIFY(a.Add(QString::fromUtf8(day), QString::fromUtf8(account), QStringLiteral("工商银行"), QStringLiteral("人民币"),
                          QString::fromUtf8(money), QString(), QStringLiteral("爸爸"), QString()));
        copies.AsB([&] {
            b.Fill(QStringLiteral("Date"));
            b.ComputeBalances(QStringLiteral("人民币"));
        });
        a.ComputeBalances(QStringLiteral("人民币"));
        QCOMPARE(b.GetBalances(), (QStringList{QStringLiteral("工资卡"), QStringLiteral("8800.00"), QStringLiteral("零钱"), QStringLiteral("300.00")}));

        const TwoCopies::RaceResult race =
            copies.Race(QStringLiteral("LOCK TABLE \"Current\" IN EXCLUSIVE MODE"), [&] { a.CloseAccount(QStringLiteral("工资卡")); }, [&] { b.CloseAccount(QStringLiteral("工资卡")); });
        QVERIFY2(race.failure.isEmpty(), qPrintable(race.failure));
        // One closed it; the other was told it is closed already, and lists what is left.
        QCOMPARE(int(race.a.has_value()) + int(race.b.has_value()), 1);
        QVERIFY(race.a.value_or(race.b.value_or(RecordChangedElsewhere::How::Changed)) == RecordChangedElsewhere::How::Deleted);
        QCOMPARE(QueryRowTexts(*copies.look, QStringLiteral("SELECT \"Account\", \"Money\" FROM \"Current\"")), QStringList{QStringLiteral("零钱|300.0")});
        for (CCurrentBook *book : {&a, &b}) {
            QCOMPARE(book->GetItemCount(), 1);
            QCOMPARE(book->GetItemText(0, 1), QStringLiteral("零钱"));
        }
        QVERIFY(KeptTotalsTrue(*copies.look));

        // B computed the balances; A then adds a movement to the account. B's closing is refused, the
        // movement stays, and B, having read the balances again, closes it.
        copies.AsB([&] { b.ComputeBalances(QStringLiteral("人民币")); });
        QVERIFY(a.Add(QStringLiteral("2026-03-05"), QStringLiteral("零钱"), QStringLiteral("工商银行"), QStringLiteral("人民币"), QStringLiteral("50"),
                      QString(), QStringLiteral("妈妈"), QString()));
        QString message;
        QVERIFY(Refusal([&] { copies.AsB([&] { b.CloseAccount(QStringLiteral("零钱")); }); }, &message) == RecordChangedElsewhere::How::Changed);
        QVERIFY2(message.contains(QStringLiteral("零钱")), qPrintable(message));
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Current\"")), 2);
        QCOMPARE(b.GetItemCount(), 2);
        copies.AsB([&] {
            b.ComputeBalances(QStringLiteral("人民币"));
            QCOMPARE(b.GetBalances(), (QStringList{QStringLiteral("零钱"), QStringLiteral("350.00")}));
            b.CloseAccount(QStringLiteral("零钱"));
        });
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Current\"")), 0);
        QVERIFY(KeptTotalsTrue(*copies.look));
    }

    void anImportWhoseConnectionIsLostWritesNothing()
    {
        TwoCopies copies;
        CMoneyBook a;
        AddThree(a);
        std::vector<MoneyEntry> entries;
        for (int i = 0; i < 5000; ++i)
            entries.push_back({LedgerDateTime(QDate(2025, 1, 1).addDays(i % 400), QTime(12, 0)), QStringLiteral("餐饮"), -1.0 - i % 97,
                               QStringLiteral("妈妈"), QStringLiteral("导入 %1").arg(i)});
        const qint64 backend = TwoCopies::Backend(*OpenLedgerDatabase());
        qsizetype killedAt = -1;
        bool killed = false, failed = false;
        try {
            a.AddMany(entries, [&](qsizetype done) {
                if (done >= 2000 && killedAt < 0) {
                    // The connection goes in the middle, as a network or a server restart takes it.
                    killed = Number(*copies.look, QStringLiteral("SELECT pg_terminate_backend(%1, 10000)::int").arg(backend)) == 1;
                    killedAt = done;
                }
                return true;
            });
        } catch (const DbError &error) {
            failed = true;
            QVERIFY2(error.Message().contains(QStringLiteral("连接已断开")), qPrintable(error.Message()));
        }
        QCOMPARE(killedAt, qsizetype(2000));
        QVERIFY(killed);
        QVERIFY(failed);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\"")), 3);
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Explain\" LIKE '导入%'")), 0);
        QVERIFY(KeptTotalsTrue(*copies.look));
        QCOMPARE(KeptFigure(*copies.look, QStringLiteral("Money"), QStringLiteral("Money")).value_or(-1), qint64(-6000));

        // The book opens the ledger again and the import, tried again, is written whole.
        a.Close();
        a.ShowPage(1, QStringLiteral("Date"));
        QVERIFY(a.AddMany(entries));
        QCOMPARE(Number(*copies.look, QStringLiteral("SELECT count(*) FROM \"Money\"")), 5003);
        QVERIFY(KeptTotalsTrue(*copies.look));
    }
};

QTEST_GUILESS_MAIN(TestPgConflicts)
#include "tst_pgconflicts.moc"
