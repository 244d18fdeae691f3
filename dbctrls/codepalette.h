#pragma once

#include "text/codetokenizer.h"

#include <QColor>

// The code editor's colours, chosen to read quietly on its cream background.
namespace CodePalette {

QColor tokenColor(CodeTokenizer::Kind kind);

QColor currentLine();
QColor matchingBracket();
// A bracket beside the caret that pairs with none.
QColor unmatchedBracket();
QColor gutterBackground();
QColor gutterNumber();
QColor gutterCurrentNumber();

} // namespace CodePalette
