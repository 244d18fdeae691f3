#pragma once

#include <QString>

// The statements of the naming commands. Names are bound as parameters (":name", ":newName",
// ":oldName"), never pasted into the text, so quotes, percent signs or any other character in a
// name are stored and found exactly.
namespace NamingStatements {
inline const QString kScriptNameTaken = QStringLiteral("select cjs_name from tjs where cjs_name=:name");
inline const QString kCategoryNameTaken
    = QStringLiteral("select ctype_name from ttype where ctype_name=:name");
inline const QString kRenameScript
    = QStringLiteral("update tjs set cjs_name=:newName where cjs_name=:oldName");
inline const QString kRenameCategory
    = QStringLiteral("update ttype set ctype_name=:newName where ctype_name=:oldName");
inline const QString kFindCategory = QStringLiteral("select * from ttype where ctype_name=:name");
inline const QString kAddCategory = QStringLiteral("insert into ttype(ctype_name) values(:name)");
} // namespace NamingStatements
