#include "codetokenizer.h"

#include <QLatin1String>

#include <algorithm>
#include <array>
#include <string_view>

namespace CodeTokenizer {

namespace {

enum class Mode : quint8 { Html, Tag, HtmlComment, Doctype, JavaScript, VbScript, Css };
// What an opening tag's `>` leads into.
enum class Content : quint8 { None, JavaScript, VbScript, Style };
enum class Attr : quint8 { Name, AfterName, Value, DoubleQuoted, SingleQuoted };
enum class AttrKind : quint8 { Other, Style, Language };
// A construct of a script or style sheet that goes on past the end of a line.
enum class Inner : quint8 { None, BlockComment, Template, DoubleQuoted, SingleQuoted };

// What an at-rule's prelude leads into: a block of rules (@media) or of declarations.
enum class CssAt : quint8 { None, Group, Other };

constexpr int kMaxTemplateDepth = 3;
constexpr int kMaxBraces = 7;
constexpr int kMaxCssGroups = 3;

struct State
{
    Mode mode = Mode::Html;
    Content content = Content::None;
    Attr attr = Attr::Name;
    AttrKind attrKind = AttrKind::Other;
    Inner inner = Inner::None;
    bool embedded = false; // a script or style sheet inside HTML, ended by its closing tag
    bool cssBlock = false; // between a rule's braces
    bool valueBefore = false; // in a script, a value was written last, so a `/` divides
    quint8 templateDepth = 0; // the `${` of template literals open around the code
    quint8 expressionBraces = 0; // braces open inside the innermost `${`
    bool cssValue = false; // after a declaration's colon
    CssAt cssAt = CssAt::None; // in an at-rule's prelude
    quint8 cssGroups = 0; // @media blocks and the like open around the rules

    int pack() const
    {
        return int(mode) | int(content) << 3 | int(attr) << 5 | int(attrKind) << 8 | int(inner) << 10
            | int(embedded) << 13 | int(cssBlock) << 14 | int(valueBefore) << 15 | int(templateDepth) << 16
            | int(expressionBraces) << 18 | int(cssValue) << 21 | int(cssAt) << 22 | int(cssGroups) << 24;
    }
    // Any number no line gave back (a text block's default -1, say) reads as the start of HTML.
    static State unpack(int packed)
    {
        if (packed < 0 || packed >= 1 << 26)
            return State();
        State s;
        s.mode = Mode(packed & 7);
        s.content = Content(packed >> 3 & 3);
        s.attr = Attr(packed >> 5 & 7);
        s.attrKind = AttrKind(packed >> 8 & 3);
        s.inner = Inner(packed >> 10 & 7);
        s.embedded = packed >> 13 & 1;
        s.cssBlock = packed >> 14 & 1;
        s.valueBefore = packed >> 15 & 1;
        s.templateDepth = packed >> 16 & 3;
        s.expressionBraces = packed >> 18 & 7;
        s.cssValue = packed >> 21 & 1;
        s.cssAt = CssAt(packed >> 22 & 3);
        s.cssGroups = packed >> 24 & 3;
        if (s.mode > Mode::Css || s.attr > Attr::SingleQuoted || s.attrKind > AttrKind::Language
            || s.inner > Inner::SingleQuoted || s.cssAt > CssAt::Other)
            return State();
        return s;
    }
};

constexpr std::array kJavaScriptKeywords = {"async", "await", "break", "case", "catch", "class", "const",
    "continue", "debugger", "default", "delete", "do", "else", "export", "extends", "false", "finally", "for",
    "function", "if", "import", "in", "instanceof", "let", "new", "null", "of", "return", "super", "switch",
    "this", "throw", "true", "try", "typeof", "undefined", "var", "void", "while", "with", "yield"};
// After these a value has been written, so a following `/` divides.
constexpr std::array kJavaScriptValueKeywords = {"false", "null", "super", "this", "true", "undefined"};
constexpr std::array kVbScriptKeywords = {"and", "as", "boolean", "byref", "byval", "call", "case", "class",
    "const", "dim", "do", "each", "else", "elseif", "empty", "end", "erase", "error", "exit", "explicit",
    "false", "for", "function", "get", "goto", "if", "in", "is", "let", "loop", "me", "mod", "new", "next",
    "not", "nothing", "null", "on", "option", "or", "preserve", "private", "property", "public", "redim",
    "resume", "select", "set", "step", "sub", "then", "to", "true", "until", "wend", "while", "with", "xor"};

template<std::size_t N> constexpr bool isSorted(const std::array<const char*, N>& words)
{
    return std::is_sorted(words.begin(), words.end(),
        [](const char* a, const char* b) { return std::string_view(a) < std::string_view(b); });
}

template<std::size_t N>
bool isOneOf(QStringView word, const std::array<const char*, N>& sorted, Qt::CaseSensitivity cs)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), word,
        [cs](const char* entry, QStringView w) { return w.compare(QLatin1String(entry), cs) > 0; });
    return it != sorted.end() && word.compare(QLatin1String(*it), cs) == 0;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isIdentifierStart(QChar c)
{
    return isAsciiLetter(c) || c == u'_' || c == u'$' || (c.unicode() > 127 && c.isLetter());
}

bool isIdentifierPart(QChar c)
{
    return isIdentifierStart(c) || isDigit(c);
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\f' || c == u'\v';
}

// Walks a line through the parts of a page it passes, each mode handled by the walker's own
// function until the line ends.
template<typename Walker> class LineWalk
{
public:
    State run()
    {
        auto& walker = static_cast<Walker&>(*this);
        while (m_pos < m_n) {
            switch (m_s.mode) {
            case Mode::Html:
                walker.html();
                break;
            case Mode::Tag:
                walker.tag();
                break;
            case Mode::HtmlComment:
                walker.htmlComment();
                break;
            case Mode::Doctype:
                walker.doctype();
                break;
            case Mode::JavaScript:
            case Mode::VbScript:
            case Mode::Css:
                walker.language();
                break;
            }
        }
        // A value may stand on the line after its `=`; the value itself ends with its line.
        return m_s;
    }

protected:
    LineWalk(QStringView line, State state)
        : m_line(line)
        , m_n(int(line.size()))
        , m_s(state)
    { }

    QChar at(qsizetype i) const { return i < m_n ? m_line[i] : QChar(); }

    // At an opening tag's `>`: what the tag opened, a script, a style sheet or more HTML.
    void enterContent()
    {
        const Content content = m_s.content;
        m_s = State();
        m_s.embedded = content != Content::None;
        if (content == Content::JavaScript)
            m_s.mode = Mode::JavaScript;
        else if (content == Content::VbScript)
            m_s.mode = Mode::VbScript;
        else if (content == Content::Style)
            m_s.mode = Mode::Css;
    }

    QStringView m_line;
    int m_n;
    int m_pos = 0;
    State m_s;
};

class LineTokenizer : public LineWalk<LineTokenizer>
{
public:
    LineTokenizer(QStringView line, State state, QList<Token>* tokens)
        : LineWalk(line, state)
        , m_tokens(tokens)
    { }

private:
    friend class LineWalk<LineTokenizer>;

    void htmlComment() { untilClosed(u"-->", Kind::Comment); }
    void doctype() { untilClosed(u">", Kind::Doctype); }

    bool startsWith(int i, QStringView what) const
    {
        return m_line.sliced(i).startsWith(what, Qt::CaseInsensitive);
    }

    int find(QStringView what, int from, int end, Qt::CaseSensitivity cs = Qt::CaseSensitive) const
    {
        const qsizetype found = m_line.first(end).indexOf(what, from, cs);
        return int(found);
    }

    void add(int start, int end, Kind kind)
    {
        if (end > start)
            m_tokens->append({start, end - start, kind});
    }

    // Comments and doctypes: from here to their closing mark, which may be lines further on.
    void untilClosed(QStringView close, Kind kind)
    {
        const int from = m_pos + m_openLength;
        m_openLength = 0;
        const int found = find(close, from, m_n);
        const int end = found < 0 ? m_n : found + int(close.size());
        add(m_pos, end, kind);
        m_pos = end;
        if (found >= 0)
            m_s.mode = Mode::Html;
    }

    void html()
    {
        while (m_pos < m_n) {
            const QChar c = m_line[m_pos];
            if (c == u'&') {
                const int length = entityLength(m_pos);
                if (length > 0) {
                    add(m_pos, m_pos + length, Kind::Entity);
                    m_pos += length;
                    continue;
                }
            } else if (c == u'<' && tagOpened())
                return;
            ++m_pos;
        }
    }

    int entityLength(int i) const
    {
        int j = i + 1;
        if (at(j) == u'#') {
            ++j;
            const bool hex = at(j) == u'x' || at(j) == u'X';
            if (hex)
                ++j;
            const int digits = j;
            while (j < m_n
                && (isDigit(m_line[j]) || (hex && isAsciiLetter(m_line[j]) && m_line[j].toLower() <= u'f')))
                ++j;
            if (j == digits)
                return 0;
        } else {
            if (!isAsciiLetter(at(j)))
                return 0;
            while (j < m_n && j - i < 32 && (isAsciiLetter(m_line[j]) || isDigit(m_line[j])))
                ++j;
        }
        return at(j) == u';' ? j + 1 - i : 0;
    }

    // At a `<`: starts a comment, doctype or tag when one begins here.
    bool tagOpened()
    {
        if (startsWith(m_pos, u"<!--")) {
            m_s.mode = Mode::HtmlComment;
            m_openLength = 4;
            return true;
        }
        if (at(m_pos + 1) == u'!' || at(m_pos + 1) == u'?') {
            m_s.mode = Mode::Doctype;
            return true;
        }
        const bool closing = at(m_pos + 1) == u'/';
        const int nameStart = m_pos + (closing ? 2 : 1);
        if (!isAsciiLetter(at(nameStart)))
            return false;
        int j = nameStart;
        while (j < m_n
            && (isAsciiLetter(m_line[j]) || isDigit(m_line[j]) || m_line[j] == u'-' || m_line[j] == u':'))
            ++j;
        const QStringView name = m_line.sliced(nameStart, j - nameStart);
        add(m_pos, j, Kind::Tag);
        m_pos = j;
        m_s.mode = Mode::Tag;
        m_s.attr = Attr::Name;
        m_s.attrKind = AttrKind::Other;
        m_s.content = Content::None;
        if (!closing && name.compare(u"script", Qt::CaseInsensitive) == 0)
            m_s.content = Content::JavaScript;
        else if (!closing && name.compare(u"style", Qt::CaseInsensitive) == 0)
            m_s.content = Content::Style;
        return true;
    }

    void tag()
    {
        if (m_s.attr == Attr::DoubleQuoted || m_s.attr == Attr::SingleQuoted) {
            quotedValue(m_pos, m_pos);
            return;
        }
        while (m_pos < m_n && isSpace(m_line[m_pos]))
            ++m_pos;
        if (m_pos >= m_n)
            return;
        const QChar c = m_line[m_pos];
        if (c == u'>') {
            add(m_pos, m_pos + 1, Kind::Tag);
            ++m_pos;
            enterContent();
            return;
        }
        if (c == u'/' && at(m_pos + 1) == u'>') {
            add(m_pos, m_pos + 2, Kind::Tag);
            m_pos += 2;
            m_s = State();
            return;
        }
        if (m_s.attr == Attr::Value) {
            if (c == u'"' || c == u'\'') {
                m_s.attr = c == u'"' ? Attr::DoubleQuoted : Attr::SingleQuoted;
                quotedValue(m_pos, m_pos + 1);
                return;
            }
            int j = m_pos;
            while (j < m_n && !isSpace(m_line[j]) && m_line[j] != u'>')
                ++j;
            addAttributeValue(m_pos, j);
            attributeValueRead(m_line.sliced(m_pos, j - m_pos));
            m_pos = j;
            m_s.attr = Attr::Name;
            return;
        }
        if (c == u'=' && m_s.attr == Attr::AfterName) {
            m_s.attr = Attr::Value;
            ++m_pos;
            return;
        }
        int j = m_pos;
        while (j < m_n && !isSpace(m_line[j]) && m_line[j] != u'=' && m_line[j] != u'>' && m_line[j] != u'"'
            && m_line[j] != u'\'' && !(m_line[j] == u'/' && at(j + 1) == u'>'))
            ++j;
        if (j == m_pos) {
            ++m_pos; // a stray quote or slash
            return;
        }
        const QStringView name = m_line.sliced(m_pos, j - m_pos);
        add(m_pos, j, Kind::AttributeName);
        m_pos = j;
        m_s.attr = Attr::AfterName;
        m_s.attrKind = AttrKind::Other;
        if (name.compare(u"style", Qt::CaseInsensitive) == 0)
            m_s.attrKind = AttrKind::Style;
        else if (name.compare(u"language", Qt::CaseInsensitive) == 0
            || name.compare(u"type", Qt::CaseInsensitive) == 0)
            m_s.attrKind = AttrKind::Language;
    }

    // A quoted attribute value from `start` (its opening quote, or the start of a line it goes on
    // in); its text begins at `textStart`.
    void quotedValue(int start, int textStart)
    {
        const QChar quote = m_s.attr == Attr::DoubleQuoted ? u'"' : u'\'';
        const int close = find(QStringView(&quote, 1), textStart, m_n);
        const int textEnd = close < 0 ? m_n : close;
        const int end = close < 0 ? m_n : close + 1;
        if (m_s.attrKind == AttrKind::Style) {
            add(start, textStart, Kind::AttributeValue);
            const State outer = m_s;
            // A comment or value left open at the end of a line goes on in the next.
            if (start < textStart) {
                m_s.inner = Inner::None;
                m_s.cssValue = false;
            }
            m_s.cssBlock = true;
            m_s.cssAt = CssAt::None;
            m_s.cssGroups = 0;
            m_pos = textStart;
            css(textEnd);
            const State inside = m_s;
            m_s = outer;
            m_s.inner = close < 0 ? inside.inner : Inner::None;
            m_s.cssValue = close < 0 && inside.cssValue;
            add(textEnd, end, Kind::AttributeValue);
        } else {
            addAttributeValue(start, end);
        }
        if (close >= 0) {
            if (start < textStart)
                attributeValueRead(m_line.sliced(textStart, textEnd - textStart));
            m_s.attr = Attr::Name;
        }
        m_pos = end;
    }

    // An attribute value from `start` to `end`, with the entities in it.
    void addAttributeValue(int start, int end)
    {
        int from = start;
        for (int i = start; i < end;) {
            const int length = m_line[i] == u'&' ? entityLength(i) : 0;
            if (length > 0 && i + length <= end) {
                add(from, i, Kind::AttributeValue);
                add(i, i + length, Kind::Entity);
                i += length;
                from = i;
            } else {
                ++i;
            }
        }
        add(from, end, Kind::AttributeValue);
    }

    void attributeValueRead(QStringView value)
    {
        if (m_s.attrKind != AttrKind::Language || m_s.content == Content::None
            || m_s.content == Content::Style)
            return;
        if (value.contains(u"vbs", Qt::CaseInsensitive))
            m_s.content = Content::VbScript;
        else if (value.contains(u"javascript", Qt::CaseInsensitive)
            || value.contains(u"jscript", Qt::CaseInsensitive)
            || value.contains(u"ecmascript", Qt::CaseInsensitive))
            m_s.content = Content::JavaScript;
    }

    // A script or style sheet runs to its closing tag, which ends it wherever it stands, inside a
    // string or comment too, as it does in a browser.
    void language()
    {
        int end = m_n;
        int close = -1;
        if (m_s.embedded) {
            close = find(m_s.mode == Mode::Css ? QStringView(u"</style") : QStringView(u"</script"), m_pos,
                m_n, Qt::CaseInsensitive);
            if (close >= 0)
                end = close;
        }
        if (m_s.mode == Mode::JavaScript)
            javaScript(end);
        else if (m_s.mode == Mode::VbScript)
            vbScript(end);
        else
            css(end);
        m_pos = end;
        if (close >= 0)
            m_s = State();
    }

    void blockComment(int end, int searchFrom)
    {
        const int close = find(u"*/", searchFrom, end);
        const int tokenEnd = close < 0 ? end : close + 2;
        add(m_pos, tokenEnd, Kind::Comment);
        m_pos = tokenEnd;
        m_s.inner = close < 0 ? Inner::BlockComment : Inner::None;
    }

    // A quoted string from m_pos, whose text starts at `from`. It ends with the line unless a
    // backslash carries it on.
    void string(QChar quote, int from, int end)
    {
        int j = from;
        bool closed = false;
        bool carried = false;
        while (j < end) {
            const QChar c = m_line[j];
            if (c == u'\\') {
                if (j + 1 == end)
                    carried = true;
                j += 2;
                continue;
            }
            ++j;
            if (c == quote) {
                closed = true;
                break;
            }
        }
        j = std::min(j, end);
        add(m_pos, j, Kind::String);
        m_pos = j;
        if (closed)
            m_s.inner = Inner::None;
        else if (carried && end == m_n)
            m_s.inner = quote == u'"' ? Inner::DoubleQuoted : Inner::SingleQuoted;
        else
            m_s.inner = Inner::None;
    }

    int numberEnd(int j, int end) const
    {
        if (at(j) == u'0' && (at(j + 1) == u'x' || at(j + 1) == u'X')) {
            j += 2;
            while (j < end && (isDigit(m_line[j]) || isAsciiLetter(m_line[j])))
                ++j;
            return j;
        }
        while (j < end && (isDigit(m_line[j]) || m_line[j] == u'.' || m_line[j] == u'_'))
            ++j;
        if (j < end && (m_line[j] == u'e' || m_line[j] == u'E')) {
            int k = j + 1;
            if (k < end && (m_line[k] == u'+' || m_line[k] == u'-'))
                ++k;
            if (k < end && isDigit(m_line[k])) {
                j = k;
                while (j < end && isDigit(m_line[j]))
                    ++j;
            }
        }
        return j;
    }

    int identifierEnd(int j, int end) const
    {
        while (j < end && isIdentifierPart(m_line[j]))
            ++j;
        return j;
    }

    // The end of a regular-expression literal starting at m_pos, or -1 when the line holds none.
    // A scan that found no end leaves its steps marked, and a later scan that reaches a marked
    // step in the same state has none either: a line of `/[` stays one pass.
    int regExpEnd(int end)
    {
        const auto scan = [this, end](bool mark) {
            bool inClass = false;
            for (int j = m_pos + 1; j < end; ++j) {
                const quint8 step = inClass ? 2 : 1;
                if (m_regExpDeadEnds.size() > j && (m_regExpDeadEnds[j] & step))
                    return -1;
                if (mark)
                    m_regExpDeadEnds[j] = char(m_regExpDeadEnds[j] | step);
                const QChar c = m_line[j];
                if (c == u'\\')
                    ++j;
                else if (c == u'[')
                    inClass = true;
                else if (c == u']')
                    inClass = false;
                else if (c == u'/' && !inClass) {
                    ++j;
                    while (j < end && isAsciiLetter(m_line[j]))
                        ++j;
                    return j;
                }
            }
            return -1;
        };
        const int found = scan(false);
        if (found < 0) {
            if (m_regExpDeadEnds.isEmpty())
                m_regExpDeadEnds = QByteArray(m_n, 0);
            scan(true);
        }
        return found;
    }

    // The text of a template literal from m_pos, whose own text starts at `from`, up to its
    // closing backtick or the `${` of the code inside it.
    void templateText(int from, int end)
    {
        int j = from;
        while (j < end) {
            const QChar c = m_line[j];
            if (c == u'\\') {
                j += 2;
                continue;
            }
            if (c == u'`') {
                add(m_pos, j + 1, Kind::String);
                m_pos = j + 1;
                m_s.inner = Inner::None;
                m_s.valueBefore = true;
                return;
            }
            if (c == u'$' && at(j + 1) == u'{' && m_s.templateDepth < kMaxTemplateDepth) {
                add(m_pos, j, Kind::String);
                m_pos = j + 2;
                if (m_s.templateDepth > 0)
                    m_outerBraces[m_s.templateDepth - 1] = m_s.expressionBraces;
                ++m_s.templateDepth;
                m_s.expressionBraces = 0;
                m_s.inner = Inner::None;
                m_s.valueBefore = false;
                return;
            }
            ++j;
        }
        j = std::min(j, end);
        add(m_pos, j, Kind::String);
        m_pos = j;
        m_s.inner = Inner::Template;
    }

    // A brace in code, which may close the code inside a template literal's `${`.
    void brace(QChar c)
    {
        ++m_pos;
        m_s.valueBefore = c == u'}';
        if (m_s.templateDepth == 0)
            return;
        if (c == u'{') {
            m_s.expressionBraces = quint8(std::min(m_s.expressionBraces + 1, kMaxBraces));
        } else if (m_s.expressionBraces > 0) {
            --m_s.expressionBraces;
        } else {
            --m_s.templateDepth;
            m_s.expressionBraces = m_s.templateDepth > 0 ? m_outerBraces[m_s.templateDepth - 1] : 0;
            m_s.inner = Inner::Template;
        }
    }

    // The last character before `i` on this line that is not a blank, or a null character.
    QChar before(int i) const
    {
        while (i > 0 && isSpace(m_line[i - 1]))
            --i;
        return i > 0 ? m_line[i - 1] : QChar();
    }

    // A keyword spelled where a property's name stands: after a member's dot (`o.delete()`) or
    // as an object literal's key (`{default: 1}`).
    bool namesAProperty(int start, int end) const
    {
        const QChar previous = before(start);
        if (previous == u'.') {
            int dot = start - 1;
            while (m_line[dot] != u'.')
                --dot;
            return before(dot) != u'.'; // `...this` spreads
        }
        int k = end;
        while (k < m_n && isSpace(m_line[k]))
            ++k;
        if (at(k) != u':')
            return false;
        if (previous == u',')
            return true;
        if (previous != u'{')
            return false;
        int brace = start - 1;
        while (m_line[brace] != u'{')
            --brace;
        return before(brace) != u')'; // `switch (x) { default:` labels a case
    }

    void javaScript(int end)
    {
        while (m_pos < end) {
            switch (m_s.inner) {
            case Inner::BlockComment:
                blockComment(end, m_pos);
                continue;
            case Inner::Template:
                templateText(m_pos, end);
                continue;
            case Inner::DoubleQuoted:
            case Inner::SingleQuoted:
                string(m_s.inner == Inner::DoubleQuoted ? u'"' : u'\'', m_pos, end);
                continue;
            case Inner::None:
                break;
            }
            const QChar c = m_line[m_pos];
            const QChar next = at(m_pos + 1);
            if (isSpace(c)) {
                ++m_pos;
            } else if (c == u'/' && next == u'/') {
                add(m_pos, end, Kind::Comment);
                m_pos = end;
            } else if (c == u'/' && next == u'*') {
                blockComment(end, m_pos + 2);
            } else if (c == u'`') {
                templateText(m_pos + 1, end);
            } else if (c == u'"' || c == u'\'') {
                string(c, m_pos + 1, end);
                m_s.valueBefore = true;
            } else if (isDigit(c) || (c == u'.' && isDigit(next))) {
                const int j = numberEnd(m_pos, end);
                add(m_pos, j, Kind::Number);
                m_pos = j;
                m_s.valueBefore = true;
            } else if (isIdentifierStart(c)) {
                const int j = identifierEnd(m_pos, end);
                const QStringView word = m_line.sliced(m_pos, j - m_pos);
                const bool keyword
                    = isOneOf(word, kJavaScriptKeywords, Qt::CaseSensitive) && !namesAProperty(m_pos, j);
                if (keyword)
                    add(m_pos, j, Kind::Keyword);
                m_s.valueBefore = !keyword || isOneOf(word, kJavaScriptValueKeywords, Qt::CaseSensitive);
                m_pos = j;
            } else if (const int j = c == u'/' && !m_s.valueBefore ? regExpEnd(end) : -1; j > 0) {
                add(m_pos, j, Kind::RegExp);
                m_pos = j;
                m_s.valueBefore = true;
            } else if (c == u'{' || c == u'}') {
                brace(c);
            } else {
                m_s.valueBefore = c == u')' || c == u']';
                ++m_pos;
            }
        }
    }

    void vbScript(int end)
    {
        while (m_pos < end) {
            const QChar c = m_line[m_pos];
            if (c == u'\'') {
                add(m_pos, end, Kind::Comment);
                m_pos = end;
            } else if (c == u'"') {
                int j = m_pos + 1;
                while (j < end) {
                    if (m_line[j] == u'"' && at(j + 1) == u'"' && j + 1 < end)
                        j += 2;
                    else if (m_line[j++] == u'"')
                        break;
                }
                add(m_pos, j, Kind::String);
                m_pos = j;
            } else if (isDigit(c) || (c == u'.' && isDigit(at(m_pos + 1)))) {
                const int j = numberEnd(m_pos, end);
                add(m_pos, j, Kind::Number);
                m_pos = j;
            } else if (c == u'&' && (at(m_pos + 1) == u'h' || at(m_pos + 1) == u'H')) {
                int j = m_pos + 2;
                while (j < end && (isDigit(m_line[j]) || isAsciiLetter(m_line[j])))
                    ++j;
                if (j < end && m_line[j] == u'&')
                    ++j;
                add(m_pos, j, Kind::Number);
                m_pos = j;
            } else if (isIdentifierStart(c)) {
                const int j = identifierEnd(m_pos, end);
                const QStringView word = m_line.sliced(m_pos, j - m_pos);
                if (word.compare(u"rem", Qt::CaseInsensitive) == 0
                    && (j == end || isSpace(m_line[j]) || m_line[j] == u':')) {
                    add(m_pos, end, Kind::Comment);
                    m_pos = end;
                    continue;
                }
                if (isOneOf(word, kVbScriptKeywords, Qt::CaseInsensitive))
                    add(m_pos, j, Kind::Keyword);
                m_pos = j;
            } else {
                ++m_pos;
            }
        }
    }

    // A selector from m_pos up to a blank, comma or brace that is not inside its quotes or
    // square brackets (`a[title="x{y}"]`).
    int selectorEnd(int end) const
    {
        int j = m_pos;
        int squares = 0;
        while (j < end) {
            const QChar c = m_line[j];
            if (c == u'"' || c == u'\'') {
                const int close = find(QStringView(&c, 1), j + 1, end);
                j = close < 0 ? end : close + 1;
                continue;
            }
            if (squares == 0 && (isSpace(c) || c == u'{' || c == u',' || (c == u'/' && at(j + 1) == u'*')))
                break;
            if (c == u'[')
                ++squares;
            else if (c == u']' && squares > 0)
                --squares;
            ++j;
        }
        return j;
    }

    // A function's name and, for url(, the address written without quotes.
    void cssFunction(int nameEnd, int end)
    {
        add(m_pos, nameEnd, Kind::Keyword);
        const QStringView name = m_line.sliced(m_pos, nameEnd - m_pos);
        m_pos = nameEnd + 1;
        if (name.compare(u"url", Qt::CaseInsensitive) != 0)
            return;
        int j = m_pos;
        while (j < end && isSpace(m_line[j]))
            ++j;
        if (j < end && (m_line[j] == u'"' || m_line[j] == u'\''))
            return;
        const int close = find(u")", j, end);
        const int addressEnd = close < 0 ? end : close;
        add(j, addressEnd, Kind::String);
        m_pos = addressEnd;
    }

    static bool opensRuleGroup(QStringView atKeyword)
    {
        for (const char* name : {"@media", "@supports", "@document", "@layer", "@container"}) {
            if (atKeyword.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return true;
        }
        return atKeyword.endsWith(u"keyframes", Qt::CaseInsensitive);
    }

    void css(int end)
    {
        while (m_pos < end) {
            if (m_s.inner == Inner::BlockComment) {
                blockComment(end, m_pos);
                continue;
            }
            const QChar c = m_line[m_pos];
            const QChar next = at(m_pos + 1);
            if (c == u'/' && next == u'*') {
                blockComment(end, m_pos + 2);
            } else if (c == u'{') {
                if (m_s.cssAt == CssAt::Group)
                    m_s.cssGroups = quint8(std::min(m_s.cssGroups + 1, kMaxCssGroups));
                else
                    m_s.cssBlock = true;
                m_s.cssAt = CssAt::None;
                m_s.cssValue = false;
                ++m_pos;
            } else if (c == u'}') {
                if (m_s.cssBlock)
                    m_s.cssBlock = false;
                else if (m_s.cssGroups > 0)
                    --m_s.cssGroups;
                m_s.cssValue = false;
                ++m_pos;
            } else if (c == u';') {
                m_s.cssAt = CssAt::None;
                m_s.cssValue = false;
                ++m_pos;
            } else if (c == u'"' || c == u'\'') {
                const State keep = m_s;
                string(c, m_pos + 1, end);
                m_s.inner = keep.inner;
            } else if (c == u'@' || (c == u'!' && m_s.cssBlock)) {
                int j = m_pos + 1;
                while (j < end && (isAsciiLetter(m_line[j]) || m_line[j] == u'-'))
                    ++j;
                add(m_pos, j, Kind::Keyword);
                if (c == u'@' && !m_s.cssBlock)
                    m_s.cssAt = opensRuleGroup(m_line.sliced(m_pos, j - m_pos)) ? CssAt::Group : CssAt::Other;
                m_pos = j;
            } else if (!m_s.cssBlock && m_s.cssAt == CssAt::None) {
                const int j = selectorEnd(end);
                add(m_pos, j, Kind::CssSelector);
                m_pos = std::max(j, m_pos + 1);
            } else if (c == u':') {
                m_s.cssValue = m_s.cssBlock;
                ++m_pos;
            } else if (isDigit(c) || ((c == u'.' || c == u'-') && isDigit(next))
                || (c == u'#' && (isDigit(next) || isAsciiLetter(next)))) {
                int j = m_pos + 1;
                while (j < end
                    && (isDigit(m_line[j]) || isAsciiLetter(m_line[j]) || m_line[j] == u'.'
                        || m_line[j] == u'%'))
                    ++j;
                add(m_pos, j, Kind::Number);
                m_pos = j;
            } else if (isAsciiLetter(c) || c == u'-' || c == u'_') {
                int j = m_pos;
                while (j < end
                    && (isAsciiLetter(m_line[j]) || isDigit(m_line[j]) || m_line[j] == u'-'
                        || m_line[j] == u'_'))
                    ++j;
                if (at(j) == u'(') {
                    cssFunction(j, end);
                    continue;
                }
                int k = j;
                while (k < end && isSpace(m_line[k]))
                    ++k;
                // A property's name, or a feature's in an at-rule's prelude (`max-width: 600px`).
                if (k < end && m_line[k] == u':' && !m_s.cssValue)
                    add(m_pos, j, Kind::CssProperty);
                m_pos = j;
            } else {
                ++m_pos;
            }
        }
    }

    int m_openLength = 0; // the length of a comment's opening mark just found
    std::array<quint8, kMaxTemplateDepth> m_outerBraces {}; // braces open in the outer `${`
    QByteArray m_regExpDeadEnds; // per character: a pattern scanned from here has no end
    QList<Token>* m_tokens;
};

// Carries a state across a line too long to tokenize, looking only for what changes it the most:
// the tags that open and close scripts and style sheets, and comments. Each step jumps to the
// next character it needs with a search, so a megabyte of a data URL passes in a moment.
class LinePass : public LineWalk<LinePass>
{
public:
    LinePass(QStringView line, State state)
        : LineWalk(line, state)
    { }

private:
    friend class LineWalk<LinePass>;

    void htmlComment() { m_pos = after(u"-->", Mode::Html); }
    void doctype() { m_pos = after(u">", Mode::Html); }

    bool opensAt(qsizetype i, QStringView what) const
    {
        return m_line.sliced(i).startsWith(what, Qt::CaseInsensitive)
            && (i + what.size() == m_n || !isIdentifierPart(m_line[i + what.size()]));
    }

    // The position after the next `what`, entering `mode` there; the line's end without one.
    int after(QStringView what, Mode mode)
    {
        const qsizetype found = m_line.indexOf(what, m_pos);
        if (found < 0)
            return m_n;
        m_s.mode = mode;
        return int(found + what.size());
    }

    void html()
    {
        const qsizetype i = m_line.indexOf(u'<', m_pos);
        if (i < 0) {
            m_pos = m_n;
            return;
        }
        m_pos = int(i) + 1;
        if (m_line.sliced(i).startsWith(u"<!--")) {
            m_s.mode = Mode::HtmlComment;
            m_pos = int(i) + 4;
        } else if (at(i + 1) == u'!' || at(i + 1) == u'?') {
            m_s.mode = Mode::Doctype;
        } else if (opensAt(i, u"<script") || opensAt(i, u"<style")) {
            m_s = State();
            m_s.mode = Mode::Tag;
            m_s.content = at(i + 2).toLower() == u'c' ? Content::JavaScript : Content::Style;
        }
    }

    // Inside a script or style tag: on to its end, minding quoted values.
    void tag()
    {
        if (m_s.attr == Attr::DoubleQuoted || m_s.attr == Attr::SingleQuoted) {
            const qsizetype close = m_line.indexOf(m_s.attr == Attr::DoubleQuoted ? u'"' : u'\'', m_pos);
            if (close < 0) {
                m_pos = m_n;
                return;
            }
            if (m_s.content == Content::JavaScript
                && m_line.sliced(m_pos, close - m_pos).contains(u"vbs", Qt::CaseInsensitive))
                m_s.content = Content::VbScript;
            m_s.attr = Attr::Name;
            m_pos = int(close) + 1;
            return;
        }
        while (m_pos < m_n) {
            const QChar c = m_line[m_pos++];
            if (c == u'"' || c == u'\'') {
                m_s.attr = c == u'"' ? Attr::DoubleQuoted : Attr::SingleQuoted;
                return;
            }
            if (c == u'>') {
                enterContent();
                return;
            }
            if (m_s.content == Content::JavaScript
                && m_line.sliced(m_pos - 1).startsWith(u"vbs", Qt::CaseInsensitive))
                m_s.content = Content::VbScript;
        }
    }

    void language()
    {
        int end = m_n;
        if (m_s.embedded) {
            const QStringView close
                = m_s.mode == Mode::Css ? QStringView(u"</style") : QStringView(u"</script");
            for (qsizetype i = m_line.indexOf(u'<', m_pos); i >= 0; i = m_line.indexOf(u'<', i + 1)) {
                if (m_line.sliced(i).startsWith(close, Qt::CaseInsensitive)) {
                    end = int(i);
                    break;
                }
            }
        }
        if (m_s.mode != Mode::VbScript)
            blockComments(end);
        m_pos = end;
        if (end < m_n)
            m_s = State();
        else if (m_s.inner != Inner::BlockComment)
            m_s.inner = Inner::None;
    }

    // Where block comments open and close up to `end`, by their slashes.
    void blockComments(int end)
    {
        int opened = -1;
        for (qsizetype i = m_line.indexOf(u'/', m_pos); i >= 0 && i < end; i = m_line.indexOf(u'/', i + 1)) {
            if (m_s.inner == Inner::BlockComment) {
                if (i > m_pos && m_line[i - 1] == u'*' && i - 1 > opened)
                    m_s.inner = Inner::None;
            } else if (i + 1 < end && m_line[i + 1] == u'*') {
                m_s.inner = Inner::BlockComment;
                opened = int(i) + 1;
                ++i;
            }
        }
    }
};

// Whole words, case-insensitive, that only VBScript uses.
bool readsAsVbScriptLine(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u'\'') || trimmed.startsWith(u"rem ", Qt::CaseInsensitive))
        return true;
    for (const char* marker :
        {"dim ", "end sub", "end function", "end if", " then", "wend", "msgbox", "sub "}) {
        if (trimmed.startsWith(QLatin1String(marker), Qt::CaseInsensitive)
            || (marker[0] == ' ' && trimmed.endsWith(QLatin1String(marker + 1), Qt::CaseInsensitive)))
            return true;
    }
    return false;
}

// The elements a page is made of; `<b` in `a <b` is a comparison only when nothing like
// code stands before it on its line.
constexpr std::array kHtmlElements = {"a", "applet", "area", "article", "audio", "b", "base", "bgsound",
    "big", "blink", "body", "br", "button", "canvas", "center", "code", "dd", "div", "dl", "dt", "em",
    "embed", "font", "footer", "form", "frame", "frameset", "h1", "h2", "h3", "h4", "h5", "h6", "head",
    "header", "hr", "html", "i", "iframe", "img", "input", "label", "layer", "li", "link", "main", "map",
    "marquee", "meta", "nav", "nobr", "noscript", "object", "ol", "option", "p", "param", "pre", "s",
    "script", "section", "select", "small", "span", "strong", "style", "sub", "sup", "svg", "table", "tbody",
    "td", "textarea", "th", "thead", "title", "tr", "tt", "u", "ul", "video"};
static_assert(isSorted(kHtmlElements) && isSorted(kJavaScriptKeywords) && isSorted(kVbScriptKeywords));

// A tag that opens an HTML element, standing where no script would put a `<`: not after a
// quote, a bracket, an operator or a line comment's mark on its line.
bool opensHtmlElement(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u"<!--") || trimmed.startsWith(u"<!doctype", Qt::CaseInsensitive))
        return true;
    for (qsizetype i = line.indexOf(u'<'); i >= 0; i = line.indexOf(u'<', i + 1)) {
        qsizetype j = i + 1;
        while (j < line.size() && (isAsciiLetter(line[j]) || isDigit(line[j])))
            ++j;
        const QChar after = j < line.size() ? line[j] : QChar(u' ');
        if (j == i + 1 || !(isSpace(after) || after == u'>' || after == u'/')
            || !isOneOf(line.sliced(i + 1, j - i - 1), kHtmlElements, Qt::CaseInsensitive))
            continue;
        const QStringView before = line.first(i);
        for (const QChar c : before) {
            if (c == u'"' || c == u'\'' || c == u'`' || c == u'(' || c == u'=' || c == u'+')
                return false;
        }
        return !before.contains(u"//");
    }
    return false;
}

// HTML when a tag opens an element within the first lines, whatever stands before it: a line
// of instructions, a comment, a placeholder.
bool readsAsHtml(QStringView sample)
{
    constexpr int kLinesLookedAt = 30;
    qsizetype from = 0;
    for (int n = 0; n < kLinesLookedAt && from < sample.size(); ++n) {
        qsizetype end = sample.indexOf(u'\n', from);
        if (end < 0)
            end = sample.size();
        if (opensHtmlElement(sample.sliced(from, end - from)))
            return true;
        from = end + 1;
    }
    return false;
}

bool readsAsJavaScriptLine(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    return trimmed.endsWith(u';') || trimmed.endsWith(u'{') || trimmed.startsWith(u'}')
        || trimmed.startsWith(u"//") || trimmed.startsWith(u"var ") || trimmed.startsWith(u"let ")
        || trimmed.startsWith(u"const ");
}

} // namespace

int htmlState()
{
    return State().pack();
}

int javaScriptState()
{
    State s;
    s.mode = Mode::JavaScript;
    return s.pack();
}

int vbScriptState()
{
    State s;
    s.mode = Mode::VbScript;
    return s.pack();
}

int startState(QStringView text)
{
    constexpr qsizetype kSample = 64 * 1024;
    const QStringView sample = text.first(std::min(text.size(), kSample));
    const QStringView start = sample.trimmed();
    if (start.isEmpty() || start.startsWith(u'<') || readsAsHtml(sample))
        return htmlState();
    int vbScriptLines = 0;
    int javaScriptLines = 0;
    qsizetype from = 0;
    while (from < sample.size()) {
        qsizetype end = sample.indexOf(u'\n', from);
        if (end < 0)
            end = sample.size();
        const QStringView line = sample.sliced(from, end - from);
        vbScriptLines += readsAsVbScriptLine(line);
        javaScriptLines += readsAsJavaScriptLine(line);
        from = end + 1;
    }
    return vbScriptLines > javaScriptLines ? vbScriptState() : javaScriptState();
}

int passLine(QStringView line, int state)
{
    return LinePass(line, State::unpack(state)).run().pack();
}

int tokenizeLine(QStringView line, int state, QList<Token>* tokens)
{
    return LineTokenizer(line, State::unpack(state), tokens).run().pack();
}

} // namespace CodeTokenizer
