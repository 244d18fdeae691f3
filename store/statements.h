#pragma once

#include <QString>

// Every statement text the program sends. A name goes between single quotes with its own quotes
// doubled, so no name can change what a statement does.
namespace Statements {
QString quoted(const QString& name);

inline const QString kCurrentScript = QStringLiteral("select * from tjs where cjs_name = :JsName");
inline const QString kCategoryTable = QStringLiteral("ttype");

QString scriptsOfCategory(const QString& category);
QString scriptNameTaken(const QString& name);
QString categoryNameTaken(const QString& name);
QString renameScript(const QString& newName, const QString& oldName);
QString renameCategory(const QString& newName, const QString& oldName);
QString findCategory(const QString& name);
QString addCategory(const QString& name);
// column is one of cjs_name, cjs_text, cjs_zzm; an empty category searches them all
QString search(const QString& column, const QString& category);
} // namespace Statements
