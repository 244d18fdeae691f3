#pragma once

#include <QString>

class QTextCursor;

// The code editor's indenting keys, each one edit of the document (one undo step) that adds or
// takes away only blanks at the start of lines, or a line break and the blanks that follow it.
namespace CodeIndent {

// What one level of indentation is in the text around the cursor: a tab when the nearest
// indented line above it starts with one or none is indented, else as many spaces as the
// shallowest space-indented line nearby holds (two to eight).
QString unitAt(const QTextCursor& cursor);

// Tab: one level at the caret, or at the start of every line a selection touches (blank lines
// keep nothing added to them).
void indent(QTextCursor& cursor);
// Shift+Tab: takes one level (a tab, or up to a level's worth of spaces) from the caret's line
// or from every line a selection touches.
void outdent(QTextCursor& cursor);
// Enter: a line break, the new line starting with the blanks that start the caret's line up to
// the caret.
void breakLine(QTextCursor& cursor);

} // namespace CodeIndent
