#include "librarydiagnosis.h"

#include "base/feylumeerror.h"
#include "database.h"
#include "librarybackup.h"
#include "schema.h"
#include "statements.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

namespace {
constexpr int kHeaderSize = 100;

// The file's own header: the first hundred bytes say the format, the page size and, when the
// page count is trusted (its stamp matches the change counter), how many pages it has.
QString headerProblem(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取脚本库文件");
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QStringLiteral("文件开头已被改写，不再是可以读取的脚本库");
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 storedPageSize = qFromBigEndian<quint16>(bytes + 16);
    const qint64 pageSize = storedPageSize == 1 ? 65536 : storedPageSize;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return QStringLiteral("文件开头已被改写，不再是可以读取的脚本库");
    const quint32 pages = qFromBigEndian<quint32>(bytes + 28);
    const bool pagesTrusted = qFromBigEndian<quint32>(bytes + 24) == qFromBigEndian<quint32>(bytes + 92);
    if (pagesTrusted && pages > 0 && file.size() < qint64(pages) * pageSize)
        return QStringLiteral("文件不完整：应有 %1 字节，只有 %2 字节，后面的部分丢失了")
            .arg(qint64(pages) * pageSize)
            .arg(file.size());
    if (file.size() % pageSize != 0)
        return QStringLiteral("文件不完整：最后一页只有一部分");
    return {};
}

QString partNamed(const QString& type, const QString& table)
{
    const QString of = table == QLatin1String("tjs") ? QStringLiteral("脚本")
        : table == QLatin1String("ttype")            ? QStringLiteral("类别")
                                                     : QStringLiteral("库结构");
    return type == QLatin1String("index") ? of + QStringLiteral("表的索引") : of + QStringLiteral("表");
}

// The table or index whose tree starts at the page, as far as the catalogue can still be read.
QString partAtRoot(const QString& path, qint64 root)
{
    try {
        Database db;
        db.open(path, Database::OpenMode::ReadOnly);
        Statement owner(db, Statements::kObjectAtRootPage);
        owner.bind(QStringLiteral(":page"), root);
        if (owner.step())
            return partNamed(owner.value(0).toString(), owner.value(1).toString());
    } catch (const FeylumeError&) { }
    return {};
}
} // namespace

QString LibraryDiagnosis::describeCheck(const QString& path, const QString& complaint)
{
    if (complaint.isEmpty())
        return {};
    // The check names the trees ("Tree 5 page 5 ...") and pages ("Page 5: ...") it found bad.
    static const QRegularExpression treeAndPage(QStringLiteral("(?:Tree (\\d+) )?[Pp]age (\\d+)"));
    QList<qint64> pages;
    QStringList parts;
    for (auto match = treeAndPage.globalMatch(complaint); match.hasNext() && pages.size() < 5;) {
        const QRegularExpressionMatch found = match.next();
        const qint64 page = found.captured(2).toLongLong();
        if (!pages.contains(page))
            pages.append(page);
        const QString part
            = partAtRoot(path, found.captured(1).isEmpty() ? page : found.captured(1).toLongLong());
        if (!part.isEmpty() && !parts.contains(part))
            parts.append(part);
    }
    if (pages.isEmpty())
        return QStringLiteral("文件中的数据已损坏");
    QStringList numbers;
    for (qint64 page : pages)
        numbers << QString::number(page);
    QString text = QStringLiteral("第 %1 页的数据已损坏").arg(numbers.join(QStringLiteral("、")));
    if (!parts.isEmpty())
        text += QStringLiteral("（属于%1）").arg(parts.join(QStringLiteral("、")));
    return text;
}

QString LibraryDiagnosis::problemOf(const QString& path, int checkLimitMs, const std::atomic_bool* cancel)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("脚本库文件不存在");
    if (QString header = headerProblem(path); !header.isEmpty())
        return header;
    try {
        bool completed = false;
        const QString complaint = LibraryBackup::quickProblem(path, checkLimitMs, &completed, cancel);
        if (!complaint.isEmpty())
            return describeCheck(path, complaint);
        if (!completed)
            return {};
        Database db;
        db.open(path, Database::OpenMode::ReadOnly);
        Schema::verify(db);
    } catch (const FeylumeError&) {
        // Pages that check well but a catalogue or tables the program cannot use.
        return QStringLiteral("文件中缺少脚本库的表，或者表的结构已损坏");
    }
    return {};
}
