// What SQLite's failures mean to a household, and what it can do about them.
#include "DbError.h"

#include "common/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

QString NotWritable(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!path.isEmpty() && !folder.isWritable())
        return QStringLiteral("数据文件夹 %1 不能写入，改动没有保存。请检查这个文件夹的权限。")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (!path.isEmpty() && file.exists() && !file.isWritable())
        return QStringLiteral("帐目数据库文件 %1 是只读的，改动没有保存。请检查这个文件的权限。")
            .arg(QDir::toNativeSeparators(file.absoluteFilePath()));
    return QStringLiteral("帐目数据库不能写入，改动没有保存。请检查数据文件夹和数据库文件的权限。");
}

} // namespace

DbError DbError::FromSqlite(int code, sqlite3 *db)
{
    const QString sqliteText = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    const char *file = db ? sqlite3_db_filename(db, "main") : nullptr;
    const QString path = file ? QString::fromUtf8(file) : QString();
    const QString shownPath = QDir::toNativeSeparators(path);
    QString message;
    switch (code & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        message = QStringLiteral("帐目数据库文件 %1 已损坏，或不是 Zarvel 的帐目数据库。请从备份恢复这个文件。").arg(shownPath);
        break;
    case SQLITE_FULL:
        message = QStringLiteral("磁盘已满，改动没有保存。请腾出磁盘空间后再试。");
        break;
    case SQLITE_READONLY:
        message = NotWritable(path);
        break;
    case SQLITE_CANTOPEN:
        message = QStringLiteral("无法打开帐目数据库文件 %1。请检查文件是否存在，数据文件夹是否可以读写。").arg(shownPath);
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        message = QStringLiteral("帐目数据库正被另一个程序使用，操作没有完成。请稍后再试。");
        break;
    case SQLITE_IOERR:
        message = QStringLiteral("读写帐目数据库文件时出错（磁盘故障，或文件被移走），操作没有完成。");
        break;
    case SQLITE_CONSTRAINT:
        message = QStringLiteral("帐目数据库拒绝了这项改动，改动没有保存。");
        break;
    case SQLITE_NOMEM:
        message = QStringLiteral("内存不足，操作没有完成。请关闭其他程序后再试。");
        break;
    default:
        if (sqliteText.contains(QLatin1String("no such table")) || sqliteText.contains(QLatin1String("no such column")))
            message = QStringLiteral("帐目数据库缺少程序需要的表或列：文件 %1 不是这个版本的帐目数据库，或已被改动。请从备份恢复这个文件。")
                          .arg(shownPath);
        else
            message = QStringLiteral("帐目数据库出错，操作没有完成。");
        break;
    }
    return DbError(message, QStringLiteral("（技术信息：%1，代码 %2）").arg(sqliteText).arg(code));
}

RecordChangedElsewhere::RecordChangedElsewhere(How how, const QString &message)
    : DbError(!message.isEmpty() ? message
              : how == How::Changed
                  ? QStringLiteral("这条记录已被另一台电脑修改，没有保存您的改动。列表中显示的是它现在的内容。")
                  : QStringLiteral("这条记录已被另一台电脑删除，没有保存您的改动。")),
      m_how(how)
{
}

bool TellDbFailure(const std::function<void()> &action, const QString &caption)
{
    try {
        action();
        return true;
    } catch (const RecordChangedElsewhere &refused) {
        ShowMessage(refused.Message(), RecordChangedElsewhere::Caption(), MessageIcon::Warning);
        return false;
    } catch (const DbError &error) {
        ShowMessage(error.Message(), caption, MessageIcon::Error);
        return false;
    }
}
