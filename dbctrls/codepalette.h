#pragma once

#include "text/codetokenizer.h"

#include <QColor>

// The code editor's colours, chosen to read quietly on its cream background.
namespace CodePalette {

QColor tokenColor(CodeTokenizer::Kind kind);

QColor currentLine();
QColor matchingBracket();
QColor gutterBackground();
QColor gutterNumber();
QColor gutterCurrentNumber();

} // namespace CodePalette
