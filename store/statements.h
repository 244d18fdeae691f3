#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

class Statement;

// A statement text and the values of its named parameters. Names never become part of a text:
// a name holding a quote, a NUL or bytes that are not UTF-8 cannot change what a statement does.
struct BoundStatement
{
    QString text;
    QList<QPair<QString, QVariant>> parameters; // parameter name without the colon, value
};

// Every statement the program sends. Names are given as the bytes stored in the library (a
// node's stored name) or as typed text turned into UTF-8; they are bound as text with exactly
// those bytes, so a name read from the library finds its own row again.
namespace Statements {
inline const QString kCurrentScript = QStringLiteral("select * from tjs where cjs_name = :JsName");
inline const QString kCategoryTable = QStringLiteral("ttype");

// Binds every parameter value of bound onto a statement compiled from bound's text.
void bind(Statement& statement, const BoundStatement& bound);

BoundStatement scriptsOfCategory(const QByteArray& category);
// The naming commands' statements (texts in namingstatements.h) with their names bound.
BoundStatement scriptNameTaken(const QByteArray& name);
BoundStatement categoryNameTaken(const QByteArray& name);
BoundStatement renameScript(const QByteArray& newName, const QByteArray& oldName);
BoundStatement renameCategory(const QByteArray& newName, const QByteArray& oldName);
BoundStatement findCategory(const QByteArray& name);
BoundStatement addCategory(const QByteArray& name);
} // namespace Statements
