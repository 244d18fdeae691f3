#include "bracketmatch.h"

#include "text/codetokenizer.h"

#include <QTextDocument>

#include <algorithm>

namespace BracketMatch {

namespace {
using CodeTokenizer::Kind;
using CodeTokenizer::Token;

constexpr int kPlainCode = -1;
// What a search found besides a position.
constexpr int kNoPartner = -1;
constexpr int kOutOfReach = -2;

struct Bracket
{
    QChar self;
    QChar partner;
    bool forward;
    bool nests;
};

// One line of the document and its coloured pieces.
struct Line
{
    QTextBlock block;
    QString text;
    QList<Token> tokens;

    // The piece the character at `index` belongs to, or -1 for plain code.
    int tokenAt(int index) const
    {
        const auto after = std::upper_bound(
            tokens.begin(), tokens.end(), index, [](int i, const Token& token) { return i < token.start; });
        if (after == tokens.begin())
            return -1;
        const auto token = after - 1;
        return index < token->start + token->length ? int(token - tokens.begin()) : -1;
    }
    int kindAt(int index) const
    {
        const int token = tokenAt(index);
        return token < 0 ? kPlainCode : int(tokens[token].kind);
    }
};

bool readLine(const QTextBlock& block, const StartStates& startStateOf, Line* line)
{
    if (!block.isValid() || block.length() - 1 > kReach)
        return false;
    line->block = block;
    line->text = block.text();
    line->tokens.clear();
    CodeTokenizer::tokenizeLine(line->text, startStateOf(block), &line->tokens);
    return true;
}

// Code whose brackets are text: a bracket inside pairs only inside the same piece.
bool isLiteral(int kind)
{
    switch (Kind(kind)) {
    case Kind::String:
    case Kind::Comment:
    case Kind::RegExp:
    case Kind::AttributeValue:
    case Kind::Doctype:
        return true;
    default:
        return false;
    }
}

bool bracketAt(const Line& line, int index, int kind, Bracket* bracket)
{
    if (index < 0 || index >= line.text.size())
        return false;
    const QChar c = line.text[index];
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
    // Only the angle brackets of a tag or doctype; elsewhere they compare, point or shift.
    case u'<':
        if (kind != int(Kind::Tag) && kind != int(Kind::Doctype))
            return false;
        *bracket = {c, u'>', true, false};
        return true;
    case u'>':
        if (kind != int(Kind::Tag) && kind != int(Kind::Doctype))
            return false;
        *bracket = {c, u'<', false, false};
        return true;
    default:
        return false;
    }
}

// Walks the document from a bracket, a character at a time.
class Walk
{
public:
    Walk(const Line& line, int index, const Bracket& bracket, const StartStates& startStateOf)
        : m_line(line)
        , m_i(index)
        , m_bracket(bracket)
        , m_startStateOf(startStateOf)
        , m_kind(line.kindAt(index))
        , m_literal(isLiteral(m_kind))
        , m_token(m_literal ? line.tokenAt(index) : -1)
    { }

    int partner()
    {
        int depth = 0;
        for (int budget = kReach; budget > 0; --budget) {
            const int step = m_literal ? stepInLiteral() : stepInCode();
            if (step < 0)
                return step;
            if (step == 0)
                continue;
            const QChar c = m_line.text[m_i];
            if (m_bracket.nests && c == m_bracket.self) {
                ++depth;
            } else if (c == m_bracket.partner) {
                if (depth == 0)
                    return m_line.block.position() + m_i;
                --depth;
            } else if (!m_bracket.nests && c == m_bracket.self) {
                return kNoPartner; // a second < before any > (or the reverse)
            }
        }
        return kOutOfReach;
    }

private:
    // Moves to the next or previous line; false at the end of the document, and `reach` tells
    // why it stopped.
    bool nextLine(int* reach)
    {
        const QTextBlock block = m_bracket.forward ? m_line.block.next() : m_line.block.previous();
        *reach = block.isValid() ? kOutOfReach : kNoPartner;
        if (!readLine(block, m_startStateOf, &m_line))
            return false;
        m_i = m_bracket.forward ? -1 : int(m_line.text.size());
        return true;
    }

    // One character on in code: 1 on a character of the bracket's kind of code, 0 on another
    // (or a line break), or why the walk ends.
    int stepInCode()
    {
        m_i += m_bracket.forward ? 1 : -1;
        if (m_i < 0 || m_i >= m_line.text.size()) {
            int reach = 0;
            return nextLine(&reach) ? 0 : reach;
        }
        return m_line.kindAt(m_i) == m_kind ? 1 : 0;
    }

    // One character on inside the literal the walk started in, which goes on into the next line
    // when it runs up to the line break and the next line starts inside it.
    int stepInLiteral()
    {
        m_i += m_bracket.forward ? 1 : -1;
        if (m_token >= 0) {
            const Token& token = m_line.tokens[m_token];
            if (m_i >= token.start && m_i < token.start + token.length)
                return 1;
            const bool toBreak
                = m_bracket.forward ? token.start + token.length == m_line.text.size() : token.start == 0;
            if (!toBreak)
                return kNoPartner;
        } else if (m_i >= 0 && m_i < m_line.text.size()) {
            return kNoPartner;
        }
        int reach = 0;
        if (!nextLine(&reach))
            return reach;
        // A line left empty inside a comment or template holds no piece: walk on across it.
        m_token = -1;
        if (m_line.text.isEmpty())
            return 0;
        if (m_line.tokens.isEmpty())
            return kNoPartner;
        const int first = m_bracket.forward ? 0 : int(m_line.tokens.size()) - 1;
        const Token& token = m_line.tokens[first];
        const bool fromBreak
            = m_bracket.forward ? token.start == 0 : token.start + token.length == m_line.text.size();
        if (!fromBreak || int(token.kind) != m_kind)
            return kNoPartner;
        m_token = first;
        return 0;
    }

    Line m_line;
    int m_i;
    Bracket m_bracket;
    const StartStates& m_startStateOf;
    int m_kind;
    bool m_literal;
    int m_token; // the literal's piece on the current line; -1 on an empty line
};

// Whether the character is a bracket of any kind of code, before the line is read for its kinds.
bool mayBeBracket(const QTextDocument* document, int position)
{
    const QChar c = position >= 0 ? document->characterAt(position) : QChar();
    return QStringView(u"()[]{}<>").contains(c);
}
} // namespace

Pair find(const QTextDocument* document, int caret, const StartStates& startStateOf)
{
    // Most carets stand beside no bracket at all; their line is not tokenized.
    if (!mayBeBracket(document, caret) && !mayBeBracket(document, caret - 1))
        return {};
    Line line;
    if (!readLine(document->findBlock(caret), startStateOf, &line))
        return {};
    const int index = caret - line.block.position();
    for (const int at : {index, index - 1}) {
        Bracket bracket;
        if (!bracketAt(line, at, line.kindAt(at), &bracket))
            continue;
        const int partner = Walk(line, at, bracket, startStateOf).partner();
        if (partner == kOutOfReach)
            return {};
        return {line.block.position() + at, partner};
    }
    return {};
}

} // namespace BracketMatch
