#include "librarymaker.h"

#include "base/feylumeerror.h"
#include "base/lineendings.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/statements.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FeylumeError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void fill(Database& db, const QJsonObject& manifest, const QDir& scriptDir)
{
    db.exec(Statements::kBegin);
    Statement category(db, Statements::kMakerCategory);
    for (const auto& name : manifest.value(QStringLiteral("categories")).toArray()) {
        category.reset();
        category.bind(1, name.toString());
        category.run();
    }
    Statement script(db, Statements::kMakerScript);
    for (const auto& value : manifest.value(QStringLiteral("scripts")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QString code
            = QString::fromUtf8(readFile(scriptDir.filePath(entry.value(QStringLiteral("file")).toString())));
        script.reset();
        script.bind(1, entry.value(QStringLiteral("name")).toString());
        script.bind(2, entry.value(QStringLiteral("category")).toString());
        script.bind(3, entry.value(QStringLiteral("author")).toString());
        script.bind(4, LineEndings::withCrLf(entry.value(QStringLiteral("intro")).toString()));
        script.bind(5, entry.value(QStringLiteral("date")).toString());
        script.bind(6, LineEndings::withCrLf(code));
        script.run();
    }
    db.exec(Statements::kCommit);
}
} // namespace

void LibraryMaker::makeFromManifest(const QString& manifestPath, const QString& libraryPath)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(readFile(manifestPath), &parseError);
    if (!document.isObject())
        throw FeylumeError(QStringLiteral("%1: %2").arg(manifestPath, parseError.errorString()));
    const QDir scriptDir(QFileInfo(manifestPath).absoluteDir().filePath(QStringLiteral("scripts")));

    QDir().mkpath(QFileInfo(libraryPath).absolutePath());
    const QString partial = libraryPath + QStringLiteral(".partial");
    QFile::remove(partial);
    try {
        Database db;
        db.open(partial, Database::OpenMode::CreateIfMissing);
        Schema::create(db);
        fill(db, document.object(), scriptDir);
        db.close();
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    QFile::remove(libraryPath);
    if (!QFile::rename(partial, libraryPath))
        throw FeylumeError(QStringLiteral("cannot move %1 into place").arg(libraryPath));
}
