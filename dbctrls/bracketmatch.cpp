#include "bracketmatch.h"

#include <QTextBlock>
#include <QTextDocument>

namespace BracketMatch {

namespace {
struct Bracket
{
    QChar self;
    QChar partner;
    bool forward;
    bool nests;
};

bool bracketAt(const QString& text, int index, Bracket* bracket)
{
    if (index < 0 || index >= text.size())
        return false;
    const QChar c = text[index];
    switch (c.unicode()) {
    case u'(':
        *bracket = {c, u')', true, true};
        return true;
    case u'[':
        *bracket = {c, u']', true, true};
        return true;
    case u'{':
        *bracket = {c, u'}', true, true};
        return true;
    case u')':
        *bracket = {c, u'(', false, true};
        return true;
    case u']':
        *bracket = {c, u'[', false, true};
        return true;
    case u'}':
        *bracket = {c, u'{', false, true};
        return true;
    case u'<': {
        // Only the < that opens a tag, comment or doctype; a comparison has no partner.
        const QChar next = index + 1 < text.size() ? text[index + 1] : QChar();
        if (!(next.isLetter() || next == u'/' || next == u'!' || next == u'?'))
            return false;
        *bracket = {c, u'>', true, false};
        return true;
    }
    case u'>':
        *bracket = {c, u'<', false, false};
        return true;
    default:
        return false;
    }
}

// The partner's position in the document, walking line by line from `index` of `block`.
int partnerOf(QTextBlock block, int index, const Bracket& bracket)
{
    int depth = 0;
    int budget = kReach;
    QString text = block.text();
    int i = index;
    while (budget-- > 0) {
        i += bracket.forward ? 1 : -1;
        while (i < 0 || i >= text.size()) {
            block = bracket.forward ? block.next() : block.previous();
            if (!block.isValid())
                return -1;
            text = block.text();
            i = bracket.forward ? 0 : int(text.size()) - 1;
        }
        const QChar c = text[i];
        if (bracket.nests && c == bracket.self) {
            ++depth;
        } else if (c == bracket.partner) {
            if (depth == 0) {
                if (bracket.self == u'>') {
                    Bracket opening;
                    return bracketAt(text, i, &opening) ? block.position() + i : -1;
                }
                return block.position() + i;
            }
            --depth;
        } else if (!bracket.nests && c == bracket.self) {
            return -1; // a second < before any > (or the reverse): not a tag
        }
    }
    return -1;
}
} // namespace

Pair find(const QTextDocument* document, int caret)
{
    const QTextBlock block = document->findBlock(caret);
    if (!block.isValid() || block.length() - 1 > kReach)
        return {};
    const QString text = block.text();
    const int index = caret - block.position();
    for (const int at : {index, index - 1}) {
        Bracket bracket;
        if (bracketAt(text, at, &bracket)) {
            const int partner = partnerOf(block, at, bracket);
            return partner < 0 ? Pair() : Pair {block.position() + at, partner};
        }
    }
    return {};
}

} // namespace BracketMatch
