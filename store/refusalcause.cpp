#include "refusalcause.h"

#include "base/feylumeerror.h"
#include "database.h"

QString refusalCause(const FeylumeError& error)
{
    switch (failureKind(error.code())) {
    case FailureKind::DuplicateKey:
        return QStringLiteral("原因：这个名字已被使用，名字不能重复");
    case FailureKind::MissingReference:
        return QStringLiteral("原因：所选的类别已不在数据库中");
    case FailureKind::Locked:
        return QStringLiteral("原因：数据库正被其他程序锁定，请稍后再试");
    case FailureKind::DiskFull:
        return QStringLiteral("原因：磁盘已满");
    case FailureKind::NotWritable:
        return QStringLiteral("原因：数据库文件或它所在的文件夹不可写");
    default:
        return QStringLiteral("原因：") + error.message();
    }
}
