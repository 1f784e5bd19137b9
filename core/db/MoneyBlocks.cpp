// The block tables of the income/expense list and the triggers that keep them.
#include "MoneyBlocks.h"

#include "db/SqlConnection.h"

namespace {

// The first block's start: below every date, numbers and texts alike, so that no record precedes it.
const QString kLowest = QStringLiteral("-9e999");

// The block that holds the key (row."Date", row."ID"): the last that starts at or before it.
QString BlockOf(const QString &row, const QString &columns)
{
    return QStringLiteral("SELECT %1 FROM \"MoneyBlocks\" WHERE (\"Start\", \"StartId\") <= (%2.\"Date\", %2.\"ID\") "
                          "ORDER BY \"Start\" DESC, \"StartId\" DESC LIMIT 1")
        .arg(columns, row);
}

// A part's item and member as its key holds them (never NULL: a key column cannot be).
QString PartOf(const QString &row)
{
    return QStringLiteral("ifnull(%1.\"Item\", x''), ifnull(%1.\"Member\", x'')").arg(row);
}

QString AddToBlocks(const QString &row)
{
    // The part first: a split that the block's new count sets off recounts the parts from the records.
    return QStringLiteral("INSERT INTO \"MoneyBlockParts\" (\"Start\", \"StartId\", \"Item\", \"Member\", \"N\") %1 "
                          "ON CONFLICT (\"Start\", \"StartId\", \"Item\", \"Member\") DO UPDATE SET \"N\" = \"MoneyBlockParts\".\"N\" + 1;\n"
                          "UPDATE \"MoneyBlocks\" SET \"N\" = \"N\" + 1 WHERE (\"Start\", \"StartId\") = (%2);\n")
        .arg(BlockOf(row, QStringLiteral("\"Start\", \"StartId\", ") + PartOf(row) + QStringLiteral(", 1")),
             BlockOf(row, QStringLiteral("\"Start\", \"StartId\"")));
}

QString TakeFromBlocks(const QString &row)
{
    const QString part = QStringLiteral("(\"Start\", \"StartId\", \"Item\", \"Member\") = (%1)")
                             .arg(BlockOf(row, QStringLiteral("\"Start\", \"StartId\", ") + PartOf(row)));
    const QString block = QStringLiteral("(\"Start\", \"StartId\") = (%1)").arg(BlockOf(row, QStringLiteral("\"Start\", \"StartId\"")));
    return QStringLiteral("UPDATE \"MoneyBlockParts\" SET \"N\" = \"N\" - 1 WHERE %1;\n"
                          "DELETE FROM \"MoneyBlockParts\" WHERE %1 AND \"N\" <= 0;\n"
                          "UPDATE \"MoneyBlocks\" SET \"N\" = \"N\" - 1 WHERE %2;\n"
                          "DELETE FROM \"MoneyBlocks\" WHERE %2 AND \"N\" <= 0 AND \"Start\" <> %3;\n")
        .arg(part, block, kLowest);
}

// The parts of the records from a block's start on, so many of them, counted under that start.
void CountParts(SqlConnection &db, const SqlValue &start, qint64 startId, qint64 count)
{
    SqlStatement parts = db.Prepare(QStringLiteral(
        "INSERT INTO \"MoneyBlockParts\" (\"Start\", \"StartId\", \"Item\", \"Member\", \"N\") "
        "SELECT ?, ?, \"I\", \"M\", count(*) FROM (SELECT ifnull(\"Item\", x'') AS \"I\", ifnull(\"Member\", x'') AS \"M\" "
        "FROM \"Money\" WHERE (\"Date\", \"ID\") >= (?, ?) ORDER BY \"Date\", \"ID\" LIMIT ?) AS \"Run\" GROUP BY \"I\", \"M\""));
    parts.BindAll({start, startId, start, startId, count});
    parts.Run();
}

} // namespace

void LayMoneyBlocks(SqlConnection &db, int blockSize)
{
    // MoneyBlocks_Split: a trigger that cut blocks at every write, before the writer did it once a commit.
    for (const char *trigger : {"Money_Blocks_Insert", "Money_Blocks_Delete", "Money_Blocks_Update", "MoneyBlocks_Split"})
        db.Execute(QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(QString::fromLatin1(trigger)));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyBlocks\""));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyBlockParts\""));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyBlockSize\""));
    // The size the blocks are cut to, kept with them.
    db.Execute(QStringLiteral("CREATE TABLE \"MoneyBlockSize\" (\"N\" INTEGER NOT NULL)"));
    db.Execute(QStringLiteral("INSERT INTO \"MoneyBlockSize\" VALUES (%1)").arg(blockSize));
    // Start has the date column's affinity, so that it compares with dates as the list's index does.
    db.Execute(QStringLiteral("CREATE TABLE \"MoneyBlocks\" (\"Start\" DATETIME NOT NULL, \"StartId\" INTEGER NOT NULL, "
                              "\"N\" INTEGER NOT NULL, PRIMARY KEY (\"Start\", \"StartId\")) WITHOUT ROWID"));
    db.Execute(QStringLiteral("CREATE TABLE \"MoneyBlockParts\" (\"Start\" DATETIME NOT NULL, \"StartId\" INTEGER NOT NULL, "
                              "\"Item\" TEXT NOT NULL, \"Member\" TEXT NOT NULL, \"N\" INTEGER NOT NULL, "
                              "PRIMARY KEY (\"Start\", \"StartId\", \"Item\", \"Member\")) WITHOUT ROWID"));

    // Each record numbered in list order; block k holds numbers k*size+1 to (k+1)*size and starts at
    // the first of them, except block 0, which starts below every key.
    const QString size = QString::number(blockSize);
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS temp.\"NumberedMoney\""));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS temp.\"MoneyBlockStarts\""));
    db.Execute(QStringLiteral("CREATE TEMP TABLE \"NumberedMoney\" AS SELECT \"Date\", \"ID\", ifnull(\"Item\", x'') AS \"I\", "
                              "ifnull(\"Member\", x'') AS \"M\", (row_number() OVER (ORDER BY \"Date\", \"ID\") - 1) / %1 AS \"Block\", "
                              "(row_number() OVER (ORDER BY \"Date\", \"ID\") - 1) % %1 = 0 AS \"First\" FROM \"Money\"")
                   .arg(size));
    db.Execute(QStringLiteral("CREATE TEMP TABLE \"MoneyBlockStarts\" AS SELECT 0 AS \"Block\", %1 AS \"Start\", 0 AS \"StartId\" "
                              "UNION ALL SELECT \"Block\", \"Date\", \"ID\" FROM \"NumberedMoney\" WHERE \"First\" AND \"Block\" > 0")
                   .arg(kLowest));
    db.Execute(QStringLiteral("INSERT INTO \"MoneyBlockParts\" SELECT s.\"Start\", s.\"StartId\", p.\"I\", p.\"M\", p.\"N\" "
                              "FROM (SELECT \"Block\", \"I\", \"M\", count(*) AS \"N\" FROM \"NumberedMoney\" GROUP BY 1, 2, 3) p "
                              "JOIN \"MoneyBlockStarts\" s ON s.\"Block\" = p.\"Block\""));
    db.Execute(QStringLiteral("INSERT INTO \"MoneyBlocks\" SELECT s.\"Start\", s.\"StartId\", ifnull((SELECT sum(p.\"N\") "
                              "FROM \"MoneyBlockParts\" p WHERE p.\"Start\" = s.\"Start\" AND p.\"StartId\" = s.\"StartId\"), 0) "
                              "FROM \"MoneyBlockStarts\" s"));
    db.Execute(QStringLiteral("DROP TABLE temp.\"NumberedMoney\""));
    db.Execute(QStringLiteral("DROP TABLE temp.\"MoneyBlockStarts\""));

    db.Execute(QStringLiteral("CREATE TRIGGER \"Money_Blocks_Insert\" AFTER INSERT ON \"Money\" BEGIN\n%1END")
                   .arg(AddToBlocks(QStringLiteral("NEW"))));
    db.Execute(QStringLiteral("CREATE TRIGGER \"Money_Blocks_Delete\" AFTER DELETE ON \"Money\" BEGIN\n%1END")
                   .arg(TakeFromBlocks(QStringLiteral("OLD"))));
    db.Execute(QStringLiteral("CREATE TRIGGER \"Money_Blocks_Update\" AFTER UPDATE OF \"Date\", \"ID\", \"Item\", \"Member\" "
                              "ON \"Money\" WHEN OLD.\"Date\" IS NOT NEW.\"Date\" OR OLD.\"ID\" IS NOT NEW.\"ID\" "
                              "OR OLD.\"Item\" IS NOT NEW.\"Item\" OR OLD.\"Member\" IS NOT NEW.\"Member\" BEGIN\n%1%2END")
                   .arg(TakeFromBlocks(QStringLiteral("OLD")), AddToBlocks(QStringLiteral("NEW"))));
}

void SplitCrowdedBlocks(SqlConnection &db)
{
    if (!db.HasTable(QStringLiteral("MoneyBlocks")) || !db.HasTable(QStringLiteral("MoneyBlockSize")))
        return;
    SqlStatement size = db.Prepare(QStringLiteral("SELECT \"N\" FROM \"MoneyBlockSize\""));
    const qint64 blockSize = size.Step() ? size.Int(0) : 0;
    size = SqlStatement();
    if (blockSize <= 0)
        return;
    struct Crowded
    {
        SqlValue start;
        qint64 startId = 0, count = 0;
    };
    std::vector<Crowded> crowded;
    SqlStatement find = db.Prepare(QStringLiteral("SELECT \"Start\", \"StartId\", \"N\" FROM \"MoneyBlocks\" WHERE \"N\" > ?"));
    find.Bind(1, 2 * blockSize);
    while (find.Step())
        crowded.push_back({find.Value(0), find.Int(1), find.Int(2)});
    find = SqlStatement();
    for (const Crowded &block : crowded) {
        // The block's records walked once in order: every blockSize-th starts a block (a date that is
        // no text or number could not be bound back as it is, so such a record starts none).
        std::vector<Crowded> pieces{{block.start, block.startId, 0}};
        SqlStatement walk = db.Prepare(QStringLiteral("SELECT \"Date\", \"ID\", typeof(\"Date\") = 'blob' FROM \"Money\" "
                                                      "WHERE (\"Date\", \"ID\") >= (?, ?) ORDER BY \"Date\", \"ID\" LIMIT ?"));
        walk.BindAll({block.start, block.startId, block.count});
        qint64 walked = 0;
        while (walk.Step()) {
            if (pieces.back().count >= blockSize && block.count - walked > blockSize && walk.Int(2) == 0)
                pieces.push_back({walk.Value(0), walk.Int(1), 0});
            ++pieces.back().count;
            ++walked;
        }
        walk = SqlStatement();
        if (walked != block.count || pieces.size() < 2)
            continue;  // the counts are not those of the records: left for the reader to decline
        SqlStatement forget = db.Prepare(QStringLiteral("DELETE FROM \"MoneyBlockParts\" WHERE \"Start\" = ? AND \"StartId\" = ?"));
        forget.BindAll({block.start, block.startId});
        forget.Run();
        SqlStatement write = db.Prepare(QStringLiteral("INSERT INTO \"MoneyBlocks\" (\"Start\", \"StartId\", \"N\") VALUES (?, ?, ?) "
                                                       "ON CONFLICT (\"Start\", \"StartId\") DO UPDATE SET \"N\" = excluded.\"N\""));
        for (const Crowded &piece : pieces) {
            write.Reset();
            write.BindAll({piece.start, piece.startId, piece.count});
            write.Run();
            CountParts(db, piece.start, piece.startId, piece.count);
        }
    }
}
