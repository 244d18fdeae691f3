#pragma once

#include <QTextBlock>

#include <functional>

class QTextDocument;

// The bracket beside the caret and the one it pairs with: ( ) [ ] { } by their nesting, and a
// tag's < with the > that closes it. A bracket pairs only with brackets of the same kind of code:
// one in plain code with plain code, skipping strings, comments, regular expressions and
// attribute values; one inside such a literal only within that literal. The character after the
// caret is looked at first, then the one before it. The partner is -1 when the bracket has none;
// both are -1 when there is no bracket, or when the search reached no answer within reach (it
// goes at most kReach characters, so a caret beside a bracket in a huge text stays quick).
namespace BracketMatch {

constexpr int kReach = 200000;

struct Pair
{
    int bracket = -1;
    int partner = -1;
};

// The code tokenizer's state at the start of a line, as the document's colouring has it.
using StartStates = std::function<int(const QTextBlock&)>;

Pair find(const QTextDocument* document, int caret, const StartStates& startStateOf);

} // namespace BracketMatch
