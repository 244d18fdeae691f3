#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct FixtureScript
{
    QString name;
    QString category;
    QString author = QStringLiteral("作者");
    QString intro = QStringLiteral("简介");
    QString code = QStringLiteral("<p>code</p>");
    QString date = QStringLiteral("2024-05-06 07:08:09");
};

// Both tables as a library made elsewhere might hold them, the script table lacking its code.
inline const QString kTablesWithoutCodeColumn = QStringLiteral(
    "CREATE TABLE ttype (ctype_name TEXT); CREATE TABLE tjs (cjs_id INTEGER PRIMARY KEY, cjs_name TEXT, "
    "cjs_type TEXT, cjs_zzm TEXT, cjs_zzjj TEXT, cjs_date TEXT)");

// A temporary program directory with a library file in data/, made from the given rows.
class LibraryFixture
{
public:
    LibraryFixture();

    // With a trailing separator, as the main window takes it.
    QString appDir() const;
    QString libraryPath() const;

    void create(const QStringList& categories, const QList<FixtureScript>& scripts);
    // Three categories (the last one empty) and four scripts, one with a quote in its name.
    void createSmall();
    // Writes arbitrary bytes where the library belongs.
    void writeRaw(const QByteArray& bytes);

    // Runs a query on a separate connection and returns the first column of every row.
    QStringList column(const QString& sql) const;
    QString value(const QString& sql) const;

private:
    QTemporaryDir m_dir;
};
