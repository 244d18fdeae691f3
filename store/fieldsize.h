#pragma once

#include <QString>
#include <QStringView>

// The one rule for the size of a text field: a column declared with a size holds at most that
// many characters, counted as the user sees them (characterCount). The store applies it before
// it writes a row and the naming commands before they run a statement, with one message that
// names the field as the window does.
namespace FieldSize {
// The field as the window names it ("类别名", "脚本名", "作者"); other columns by their own name.
QString label(const QString& column);
// Throws FeylumeError when `value` is longer than `size` characters; a size of 0 has no limit.
void check(const QString& column, int size, QStringView value);
} // namespace FieldSize
