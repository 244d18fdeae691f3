#include "libraryfixture.h"

#include "store/database.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>

LibraryFixture::LibraryFixture()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("data"));
}

QString LibraryFixture::appDir() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString LibraryFixture::libraryPath() const
{
    return appDir() + QStringLiteral("data/qvlb.db");
}

void LibraryFixture::create(const QStringList& categories, const QList<FixtureScript>& scripts)
{
    QFile::remove(libraryPath());
    Database db;
    db.open(libraryPath(), Database::OpenMode::CreateIfMissing);
    Schema::create(db);
    // Fixtures may hold scripts whose category is missing, which the library itself would refuse.
    db.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    db.exec(QStringLiteral("BEGIN"));
    for (const QString& category : categories) {
        Statement insert(db, QStringLiteral("INSERT INTO ttype(ctype_name) VALUES (?)"));
        insert.bind(1, category);
        insert.run();
    }
    for (const FixtureScript& script : scripts) {
        Statement insert(db,
            QStringLiteral("INSERT INTO tjs(cjs_name, cjs_type, cjs_zzm, cjs_zzjj, cjs_date, cjs_text) "
                           "VALUES (?, ?, ?, ?, ?, ?)"));
        insert.bind(1, script.name);
        insert.bind(2, script.category);
        insert.bind(3, script.author);
        insert.bind(4, script.intro);
        insert.bind(5, script.date);
        insert.bind(6, script.code);
        insert.run();
    }
    db.exec(QStringLiteral("COMMIT"));
}

void LibraryFixture::createSmall()
{
    create({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")},
        {{QStringLiteral("打字机"), QStringLiteral("文字特效"), QStringLiteral("林一"), QStringLiteral("第一行\r\n第二行"),
             QStringLiteral("<b>typewriter</b>\r\nline 2")},
            {QStringLiteral("时钟"), QStringLiteral("时间日期"), QStringLiteral("王二")},
            {QStringLiteral("彩虹'文字"), QStringLiteral("文字特效"), QStringLiteral("张三")},
            {QStringLiteral("倒计时"), QStringLiteral("时间日期"), QStringLiteral("李四")}});
}

void LibraryFixture::writeRaw(const QByteArray& bytes)
{
    QFile file(libraryPath());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

QStringList LibraryFixture::column(const QString& sql) const
{
    Database db;
    db.open(libraryPath(), Database::OpenMode::ExistingOnly);
    Statement query(db, sql);
    QStringList values;
    while (query.step())
        values << query.value(0).toString();
    return values;
}

QString LibraryFixture::value(const QString& sql) const
{
    const QStringList values = column(sql);
    return values.isEmpty() ? QString() : values.first();
}
