#include "refusalcause.h"

#include "base/feylumeerror.h"

#include <sqlite3.h>

QString refusalCause(const FeylumeError& error)
{
    switch (error.code()) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return QStringLiteral("原因：这个名字已被使用，名字不能重复");
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return QStringLiteral("原因：所选的类别已不在数据库中");
    default:
        break;
    }
    switch (error.code() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("原因：数据库正被其他程序锁定，请稍后再试");
    case SQLITE_FULL:
        return QStringLiteral("原因：磁盘已满");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("原因：数据库文件或它所在的文件夹不可写");
    default:
        return QStringLiteral("原因：") + error.message();
    }
}
