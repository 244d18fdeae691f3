#include "onescriptlibrary.h"

#include "store/database.h"
#include "store/schema.h"

void makeOneScriptLibrary(
    const QString& path, const QString& category, const QString& name, const QString& code)
{
    Database db;
    db.open(path, Database::OpenMode::CreateIfMissing);
    Schema::create(db);
    Statement addCategory(db, QStringLiteral("insert into ttype(ctype_name) values(?)"));
    addCategory.bind(1, category);
    addCategory.run();
    Statement addScript(db, QStringLiteral("insert into tjs(cjs_name, cjs_type, cjs_text) values(?, ?, ?)"));
    addScript.bind(1, name);
    addScript.bind(2, category);
    addScript.bind(3, code);
    addScript.run();
}
