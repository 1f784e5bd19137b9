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
                          "ON CONFLICT DO UPDATE SET \"N\" = \"N\" + 1;\n"
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

// The parts of the records from the block start on, limit of them after offset skipped, under the
// block whose start the select list names.
QString CountParts(const QString &block, const QString &limit, const QString &offset)
{
    return QStringLiteral("INSERT INTO \"MoneyBlockParts\" (\"Start\", \"StartId\", \"Item\", \"Member\", \"N\") "
                          "SELECT %1, \"I\", \"M\", count(*) FROM (SELECT ifnull(\"Item\", x'') AS \"I\", "
                          "ifnull(\"Member\", x'') AS \"M\" FROM \"Money\" WHERE (\"Date\", \"ID\") >= (NEW.\"Start\", NEW.\"StartId\") "
                          "ORDER BY \"Date\", \"ID\" LIMIT %2 OFFSET %3) GROUP BY \"I\", \"M\";\n")
        .arg(block, limit, offset);
}

QString SplitSql(int size)
{
    const QString half = QString::number(size);
    const QString next = QStringLiteral("(SELECT \"Start\" FROM \"MoneyBlocks\" WHERE (\"Start\", \"StartId\") > (NEW.\"Start\", NEW.\"StartId\") "
                                        "ORDER BY \"Start\", \"StartId\" LIMIT 1), "
                                        "(SELECT \"StartId\" FROM \"MoneyBlocks\" WHERE (\"Start\", \"StartId\") > (NEW.\"Start\", NEW.\"StartId\") "
                                        "ORDER BY \"Start\", \"StartId\" LIMIT 1)");
    return QStringLiteral(
               "CREATE TRIGGER \"MoneyBlocks_Split\" AFTER UPDATE OF \"N\" ON \"MoneyBlocks\" WHEN NEW.\"N\" > %1 BEGIN\n"
               "INSERT INTO \"MoneyBlocks\" (\"Start\", \"StartId\", \"N\") SELECT \"Date\", \"ID\", NEW.\"N\" - %2 FROM \"Money\" "
               "WHERE (\"Date\", \"ID\") >= (NEW.\"Start\", NEW.\"StartId\") ORDER BY \"Date\", \"ID\" LIMIT 1 OFFSET %2;\n"
               "UPDATE \"MoneyBlocks\" SET \"N\" = %2 WHERE \"Start\" = NEW.\"Start\" AND \"StartId\" = NEW.\"StartId\";\n"
               "DELETE FROM \"MoneyBlockParts\" WHERE \"Start\" = NEW.\"Start\" AND \"StartId\" = NEW.\"StartId\";\n"
               "%3%4END")
        .arg(QString::number(2 * size), half,
             CountParts(QStringLiteral("NEW.\"Start\", NEW.\"StartId\""), half, QStringLiteral("0")),
             CountParts(next, QStringLiteral("NEW.\"N\" - ") + half, half));
}

} // namespace

void LayMoneyBlocks(SqlConnection &db, int blockSize)
{
    for (const char *trigger : {"Money_Blocks_Insert", "Money_Blocks_Delete", "Money_Blocks_Update", "MoneyBlocks_Split"})
        db.Execute(QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(QString::fromLatin1(trigger)));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyBlocks\""));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyBlockParts\""));
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
    db.Execute(SplitSql(blockSize));
}
