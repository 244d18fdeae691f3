#include "fieldsize.h"

#include "base/charactercount.h"
#include "base/feylumeerror.h"

QString FieldSize::label(const QString& column)
{
    if (column == QLatin1String("ctype_name"))
        return QStringLiteral("类别名");
    if (column == QLatin1String("cjs_name"))
        return QStringLiteral("脚本名");
    if (column == QLatin1String("cjs_zzm"))
        return QStringLiteral("作者");
    if (column == QLatin1String("cjs_type"))
        return QStringLiteral("脚本类别");
    return column;
}

void FieldSize::check(const QString& column, int size, QStringView value)
{
    if (size <= 0)
        return;
    const qsizetype length = characterCount(value);
    if (length > size)
        throw FeylumeError(QStringLiteral("%1最多容纳 %2 个字符，输入的内容有 %3 个字符")
                               .arg(label(column))
                               .arg(size)
                               .arg(length));
}
