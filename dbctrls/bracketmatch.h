#pragma once

class QTextDocument;

// The bracket beside the caret and the one it pairs with: ( ) [ ] { } by their nesting, and a
// tag's < with the > that closes it. The character after the caret is looked at first, then the
// one before it. Either position is -1 when there is no bracket or it has no partner within
// reach (a search goes at most kReach characters, so a caret beside a bracket in a huge text
// stays quick).
namespace BracketMatch {

constexpr int kReach = 200000;

struct Pair
{
    int bracket = -1;
    int partner = -1;
};

Pair find(const QTextDocument* document, int caret);

} // namespace BracketMatch
