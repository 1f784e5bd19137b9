// Realistic random ledger contents, written straight through SQLite in one transaction per table.
#include "LedgerGenerator.h"

#include "common/Gbk.h"
#include "common/LedgerDate.h"
#include "db/Installer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <cmath>
#include <sqlite3.h>

namespace {

const QStringList kMembers = {QStringLiteral("爸爸"), QStringLiteral("妈妈"), QStringLiteral("小明"), QStringLiteral("奶奶")};
const QStringList kIncome = {QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("利息"),
                             QStringLiteral("投资收益"), QStringLiteral("兼职收入"), QStringLiteral("礼金收入")};
const QStringList kExpense = {QStringLiteral("餐饮"), QStringLiteral("买菜"), QStringLiteral("日用品"),
                              QStringLiteral("服装"), QStringLiteral("水电煤气"), QStringLiteral("通讯"),
                              QStringLiteral("交通"), QStringLiteral("医疗"), QStringLiteral("教育"),
                              QStringLiteral("娱乐"), QStringLiteral("旅游"), QStringLiteral("人情往来")};
const QStringList kNotes = {QString(), QString(), QString(), QStringLiteral("超市"), QStringLiteral("网购"),
                            QStringLiteral("单位发放"), QStringLiteral("菜市场")};
const QStringList kBanks = {QStringLiteral("中国工商银行"), QStringLiteral("中国银行"), QStringLiteral("招商银行")};
const QStringList kCurrencies = {QStringLiteral("人民币"), QStringLiteral("人民币"), QStringLiteral("人民币"),
                                 QStringLiteral("美元")};

class Writer
{
public:
    explicit Writer(const QString &path)
    {
        const QByteArray name = path.toUtf8();
        m_ok = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
        Exec("PRAGMA synchronous=OFF");
    }
    ~Writer() { sqlite3_close(m_db); }
    bool Ok() const { return m_ok; }
    QString Error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    bool Exec(const char *sql) { return m_ok = m_ok && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    bool Empty(const char *table)
    {
        sqlite3_stmt *statement = nullptr;
        const QByteArray sql = QByteArray("SELECT count(*) FROM \"") + table + "\"";
        sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr);
        const bool empty = sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_int64(statement, 0) == 0;
        sqlite3_finalize(statement);
        return empty;
    }

    // Inserts rows; each value is a QString (text) or a double.
    template <typename Fill>
    bool Insert(const char *sql, int rows, Fill fill)
    {
        if (!m_ok)
            return false;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            return m_ok = false;
        Exec("BEGIN");
        for (int i = 0; i < rows && m_ok; ++i) {
            fill(i, statement);
            m_ok = sqlite3_step(statement) == SQLITE_DONE;
            sqlite3_reset(statement);
        }
        sqlite3_finalize(statement);
        return Exec("COMMIT");
    }

private:
    sqlite3 *m_db = nullptr;
    bool m_ok = false;
};

void Text(sqlite3_stmt *statement, int index, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

QByteArray EncodeForList(const QString &text)
{
    QByteArray bytes;
    EncodeGbk(text, &bytes);
    return bytes;
}

double Cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

} // namespace

bool MakeLedger(const QString &folder, const LedgerSize &size, QString *error)
{
    if (!LayInstallation(QStringLiteral(ZARVEL_TEMPLATE_DIR), folder, error))
        return false;
    Writer db(folder + QStringLiteral("/Data/Kinward.db"));
    QRandomGenerator random(20261208);
    const QDateTime start = LedgerDateTime(QDate(2006, 1, 1));
    const qint64 span = start.secsTo(LedgerDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    auto pick = [&](const QStringList &list) { return list.at(int(random.bounded(qint64(list.size())))); };
    auto date = [&](int i, int n) { return DbDateText(start.addSecs(span * i / n + random.bounded(3600))); };
    // A crowded ledger: years of bills imported on one day, all dated within November 2026.
    const QDateTime month = LedgerDateTime(QDate(2026, 11, 1));
    auto crowdedDate = [&]() { return DbDateText(month.addSecs(random.bounded(30 * 86400))); };

    if (db.Empty("Money")) {
        const int n = size.moneyRecords;
        db.Insert("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES (?,?,?,?,?)", n,
                  [&](int i, sqlite3_stmt *s) {
                      const bool income = random.bounded(100) < 12;
                      const double amount = income ? Cents(200 + random.bounded(15000.0))
                                                   : -Cents(std::exp(random.bounded(7.0)));
                      Text(s, 1, size.crowded ? crowdedDate() : date(i, n));
                      Text(s, 2, income ? pick(kIncome) : pick(kExpense));
                      sqlite3_bind_double(s, 3, amount);
                      Text(s, 4, pick(kMembers));
                      Text(s, 5, pick(kNotes));
                  });
    }
    const int n = size.otherRecords;
    if (db.Empty("Deposit"))
        db.Insert("INSERT INTO Deposit (BDate, Account, MKind, DKind, BMoney, EMoney, EDate, Bank, Member, Explain)"
                  " VALUES (?,?,?,?,?,?,?,?,?,?)", n, [&](int i, sqlite3_stmt *s) {
                      const double money = Cents(1000 + random.bounded(50000.0));
                      Text(s, 1, date(i, n));
                      Text(s, 2, QStringLiteral("6222%1").arg(i % 200, 8, 10, QLatin1Char('0')));
                      Text(s, 3, pick(kCurrencies));
                      Text(s, 4, QStringLiteral("整存整取"));
                      sqlite3_bind_double(s, 5, money);
                      sqlite3_bind_double(s, 6, Cents(money * 1.0225));
                      Text(s, 7, date(i, n));
                      Text(s, 8, pick(kBanks));
                      Text(s, 9, pick(kMembers));
                      Text(s, 10, QString());
                  });
    if (db.Empty("Current"))
        db.Insert("INSERT INTO Current (Date, Account, Bank, MKind, Money, Reason, Member, Explain)"
                  " VALUES (?,?,?,?,?,?,?,?)", n, [&](int i, sqlite3_stmt *s) {
                      Text(s, 1, date(i, n));
                      Text(s, 2, QStringLiteral("6225%1").arg(i % 50, 8, 10, QLatin1Char('0')));
                      Text(s, 3, pick(kBanks));
                      Text(s, 4, pick(kCurrencies));
                      sqlite3_bind_double(s, 5, Cents(random.bounded(4000.0) - 1800));
                      Text(s, 6, QStringLiteral("存入现金"));
                      Text(s, 7, pick(kMembers));
                      Text(s, 8, QString());
                  });
    if (db.Empty("Article"))
        db.Insert("INSERT INTO Article (Name, Number, Cost, Value, Explain) VALUES (?,?,?,?,?)", n,
                  [&](int i, sqlite3_stmt *s) {
                      const double cost = Cents(100 + random.bounded(20000.0));
                      Text(s, 1, QStringLiteral("物品%1").arg(i));
                      sqlite3_bind_int(s, 2, 1 + int(random.bounded(3)));
                      sqlite3_bind_double(s, 3, cost);
                      sqlite3_bind_double(s, 4, Cents(cost * 0.6));
                      Text(s, 5, QString());
                  });
    if (db.Empty("InsureNote"))
        db.Insert("INSERT INTO InsureNote (Name, InsureKind, InsureOrgen, PayMoney, GetMoney, Year, StartDate, EndDate,"
                  " PayPeople, BenefitPeople, BeInsuredPeople, PayedMoney, Explain) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                  n, [&](int i, sqlite3_stmt *s) {
                      Text(s, 1, QStringLiteral("保单%1").arg(i));
                      Text(s, 2, QStringLiteral("人寿保险"));
                      Text(s, 3, QStringLiteral("中国人寿保险"));
                      sqlite3_bind_double(s, 4, 300);
                      sqlite3_bind_double(s, 5, 100000);
                      sqlite3_bind_int(s, 6, 20);
                      Text(s, 7, date(i, n));
                      Text(s, 8, DbDateText(NoEndDate()));
                      Text(s, 9, pick(kMembers));
                      Text(s, 10, pick(kMembers));
                      Text(s, 11, pick(kMembers));
                      sqlite3_bind_double(s, 12, 300);
                      Text(s, 13, QString());
                  });
    if (db.Empty("InsureRecord"))
        db.Insert("INSERT INTO InsureRecord (Date, InsureName, Active, Money, Member, Explain) VALUES (?,?,?,?,?,?)", n,
                  [&](int i, sqlite3_stmt *s) {
                      Text(s, 1, date(i, n));
                      Text(s, 2, QStringLiteral("保单%1").arg(i));
                      Text(s, 3, QStringLiteral("缴纳保费"));
                      sqlite3_bind_double(s, 4, -300);
                      Text(s, 5, pick(kMembers));
                      Text(s, 6, QString());
                  });
    if (db.Empty("Credit"))
        db.Insert("INSERT INTO Credit (Date, Active, Money, People, Member, Explain) VALUES (?,?,?,?,?,?)", n,
                  [&](int i, sqlite3_stmt *s) {
                      const bool lent = random.bounded(2) == 0;
                      Text(s, 1, date(i, n));
                      Text(s, 2, lent ? QStringLiteral("借出") : QStringLiteral("借入"));
                      sqlite3_bind_double(s, 3, lent ? 500 : -300);
                      Text(s, 4, QStringLiteral("朋友%1").arg(i % 40));
                      Text(s, 5, pick(kMembers));
                      Text(s, 6, QString());
                  });
    if (db.Empty("Memo"))
        db.Insert("INSERT INTO Memo (Date, Matter, Member) VALUES (?,?,?)", n, [&](int i, sqlite3_stmt *s) {
            Text(s, 1, date(i, n));
            Text(s, 2, QStringLiteral("备忘事项 %1").arg(i));
            Text(s, 3, pick(kMembers));
        });
    if (db.Empty("Address"))
        db.Insert("INSERT INTO Address (Name, Work, Company, Mobile, City, Province) VALUES (?,?,?,?,?,?)", n,
                  [&](int i, sqlite3_stmt *s) {
                      Text(s, 1, QStringLiteral("联系人%1").arg(i));
                      Text(s, 2, QStringLiteral("职员"));
                      Text(s, 3, QStringLiteral("某某公司"));
                      Text(s, 4, QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')));
                      Text(s, 5, QStringLiteral("北京"));
                      Text(s, 6, QStringLiteral("北京"));
                  });
    // The household: the members who appear in the records, without passwords.
    QFile members(folder + QStringLiteral("/Data/Member.kwl"));
    if (members.size() == 0 && members.open(QIODevice::WriteOnly)) {
        for (const QString &member : kMembers)
            members.write(EncodeForList(member) + "##");
    }
    db.Exec("ANALYZE");
    if (!db.Ok()) {
        *error = db.Error();
        return false;
    }
    return true;
}

LedgerSize BenchLedgerSize()
{
    LedgerSize size;
    if (qEnvironmentVariableIsSet("ZARVEL_BENCH_RECORDS"))
        size.moneyRecords = qEnvironmentVariableIntValue("ZARVEL_BENCH_RECORDS");
    return size;
}

QString BenchLedgerFolder(const QString &programFolder, const LedgerSize &size)
{
    const QString name = size.moneyRecords == LedgerSize().moneyRecords
                             ? QStringLiteral("/../bench-ledger")
                             : QStringLiteral("/../bench-ledger-%1").arg(size.moneyRecords);
    return qEnvironmentVariable("ZARVEL_BENCH_LEDGER", QDir::cleanPath(programFolder + name));
}
