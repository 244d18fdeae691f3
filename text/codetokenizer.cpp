#include "codetokenizer.h"

#include <QLatin1String>

#include <algorithm>
#include <array>

namespace CodeTokenizer {

namespace {

enum class Mode : quint8 { Html, Tag, HtmlComment, Doctype, JavaScript, VbScript, Css };
// What an opening tag's `>` leads into.
enum class Content : quint8 { None, JavaScript, VbScript, Style };
enum class Attr : quint8 { Name, AfterName, Value, DoubleQuoted, SingleQuoted };
enum class AttrKind : quint8 { Other, Style, Language };
// A construct of a script or style sheet that goes on past the end of a line.
enum class Inner : quint8 { None, BlockComment, Template, DoubleQuoted, SingleQuoted };

struct State
{
    Mode mode = Mode::Html;
    Content content = Content::None;
    Attr attr = Attr::Name;
    AttrKind attrKind = AttrKind::Other;
    Inner inner = Inner::None;
    bool embedded = false; // a script or style sheet inside HTML, ended by its closing tag
    bool cssBlock = false; // between a rule's braces

    int pack() const
    {
        return int(mode) | int(content) << 3 | int(attr) << 5 | int(attrKind) << 8 | int(inner) << 10
            | int(embedded) << 13 | int(cssBlock) << 14;
    }
    static State unpack(int packed)
    {
        State s;
        s.mode = Mode(packed & 7);
        s.content = Content(packed >> 3 & 3);
        s.attr = Attr(packed >> 5 & 7);
        s.attrKind = AttrKind(packed >> 8 & 3);
        s.inner = Inner(packed >> 10 & 7);
        s.embedded = packed >> 13 & 1;
        s.cssBlock = packed >> 14 & 1;
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

class LineTokenizer
{
public:
    LineTokenizer(QStringView line, State state, QList<Token>* tokens)
        : m_line(line)
        , m_n(int(line.size()))
        , m_s(state)
        , m_tokens(tokens)
    { }

    State run()
    {
        while (m_pos < m_n) {
            switch (m_s.mode) {
            case Mode::Html:
                html();
                break;
            case Mode::Tag:
                tag();
                break;
            case Mode::HtmlComment:
                untilClosed(u"-->", Kind::Comment);
                break;
            case Mode::Doctype:
                untilClosed(u">", Kind::Doctype);
                break;
            case Mode::JavaScript:
            case Mode::VbScript:
            case Mode::Css:
                language();
                break;
            }
        }
        // An unquoted attribute value cannot go on past the line.
        if (m_s.mode == Mode::Tag && m_s.attr == Attr::Value)
            m_s.attr = Attr::Name;
        return m_s;
    }

private:
    QChar at(int i) const { return i < m_n ? m_line[i] : QChar(); }

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
            add(m_pos, j, Kind::AttributeValue);
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
            m_s.inner = Inner::None;
            m_s.cssBlock = true;
            m_pos = textStart;
            css(textEnd);
            m_s = outer;
            add(textEnd, end, Kind::AttributeValue);
        } else {
            add(start, end, Kind::AttributeValue);
        }
        if (close >= 0) {
            if (start < textStart)
                attributeValueRead(m_line.sliced(textStart, textEnd - textStart));
            m_s.attr = Attr::Name;
        }
        m_pos = end;
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

    // A string from m_pos, whose text starts at `from`. Quoted strings end with the line unless
    // a backslash carries them on; template literals go on until their backtick.
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
        else if (quote == u'`')
            m_s.inner = Inner::Template;
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
    int regExpEnd(int end) const
    {
        bool inClass = false;
        for (int j = m_pos + 1; j < end; ++j) {
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
    }

    void javaScript(int end)
    {
        bool valueBefore = false; // a `/` after a value divides; elsewhere it starts a pattern
        while (m_pos < end) {
            switch (m_s.inner) {
            case Inner::BlockComment:
                blockComment(end, m_pos);
                continue;
            case Inner::Template:
                string(u'`', m_pos, end);
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
            } else if (c == u'"' || c == u'\'' || c == u'`') {
                string(c, m_pos + 1, end);
                valueBefore = true;
            } else if (isDigit(c) || (c == u'.' && isDigit(next))) {
                const int j = numberEnd(m_pos, end);
                add(m_pos, j, Kind::Number);
                m_pos = j;
                valueBefore = true;
            } else if (isIdentifierStart(c)) {
                const int j = identifierEnd(m_pos, end);
                const QStringView word = m_line.sliced(m_pos, j - m_pos);
                const bool keyword = isOneOf(word, kJavaScriptKeywords, Qt::CaseSensitive);
                if (keyword)
                    add(m_pos, j, Kind::Keyword);
                valueBefore = !keyword || isOneOf(word, kJavaScriptValueKeywords, Qt::CaseSensitive);
                m_pos = j;
            } else if (const int j = c == u'/' && !valueBefore ? regExpEnd(end) : -1; j > 0) {
                add(m_pos, j, Kind::RegExp);
                m_pos = j;
                valueBefore = true;
            } else {
                valueBefore = c == u')' || c == u']' || c == u'}';
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
            } else if (c == u'{' || c == u'}') {
                m_s.cssBlock = c == u'{';
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
                m_pos = j;
            } else if (!m_s.cssBlock) {
                int j = m_pos;
                while (j < end && !isSpace(m_line[j]) && m_line[j] != u'{' && m_line[j] != u','
                    && !(m_line[j] == u'/' && at(j + 1) == u'*'))
                    ++j;
                add(m_pos, j, Kind::CssSelector);
                m_pos = std::max(j, m_pos + 1);
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
                int k = j;
                while (k < end && isSpace(m_line[k]))
                    ++k;
                if (k < end && m_line[k] == u':')
                    add(m_pos, j, Kind::CssProperty);
                m_pos = j;
            } else {
                ++m_pos;
            }
        }
    }

    QStringView m_line;
    int m_n;
    int m_pos = 0;
    int m_openLength = 0; // the length of a comment's opening mark just found
    State m_s;
    QList<Token>* m_tokens;
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
    if (start.isEmpty() || start.startsWith(u'<'))
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

int tokenizeLine(QStringView line, int state, QList<Token>* tokens)
{
    return LineTokenizer(line, State::unpack(state), tokens).run().pack();
}

} // namespace CodeTokenizer
