#include "textsearch.h"

#include <algorithm>
#include <array>
#include <vector>

namespace TextSearch {

namespace {

// The upper-case conversion of single bytes: in a multi-byte code page only the ASCII letters
// have a case of their own as single bytes.
constexpr std::array<unsigned char, 256> makeUpperTable()
{
    std::array<unsigned char, 256> table {};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = static_cast<unsigned char>(byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte);
    return table;
}
constexpr std::array<unsigned char, 256> kUpper = makeUpperTable();

constexpr std::array<unsigned char, 256> makeIdentityTable()
{
    std::array<unsigned char, 256> table {};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = static_cast<unsigned char>(byte);
    return table;
}
constexpr std::array<unsigned char, 256> kSame = makeIdentityTable();

constexpr std::array<bool, 256> makeDelimiterTable()
{
    std::array<bool, 256> table {};
    for (int byte = 0; byte < 256; ++byte)
        table[byte]
            = !((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'));
    return table;
}
constexpr std::array<bool, 256> kDelimiter = makeDelimiterTable();

// One search over units of a text (bytes, or UTF-16 characters): the find text already folded
// for the case rule, and the options. It reads the units through plain pointers: the scans run
// over megabytes.
template<typename Unit> class Searcher
{
public:
    Searcher(const Unit* text, qsizetype n, const Unit* what, qsizetype m, const Options& options)
        : m_text(text)
        , m_n(n)
        , m_m(m)
        , m_fold(options.matchCase ? kSame.data() : kUpper.data())
        , m_options(options)
    {
        m_what.reserve(size_t(m));
        for (qsizetype i = 0; i < m; ++i)
            m_what.push_back(fold(what[i]));
    }

    // Downward from `from`. before is the unit just before `from` (-1 at the text's start); it
    // decides whether a word begins exactly at `from`.
    qsizetype down(qsizetype from, long before) const
    {
        const qsizetype last = m_n - m_m;
        // The candidates from..last are the search's whole budget: every skipped unit and every
        // failed candidate uses one, so the scan always ends.
        if (m_m == 0 || from < 0 || from > last)
            return -1;
        if (!m_options.wholeWord)
            return plainDown(from, last);
        qsizetype p = from;
        while (p <= last) {
            const long previous = p == from ? before : long(m_text[p - 1]);
            const bool atWordStart = !delimiter(m_text[p]) && (previous < 0 || delimiter(Unit(previous)));
            if (!atWordStart) {
                while (p <= last && !delimiter(m_text[p]))
                    ++p;
                while (p <= last && delimiter(m_text[p]))
                    ++p;
                if (p > last)
                    return -1;
            }
            if (matchesAt(p) && endsWord(p))
                return p;
            ++p;
        }
        return -1;
    }

    // Upward: the match must begin at or before `from`.
    qsizetype up(qsizetype from) const
    {
        if (m_m == 0 || from < 0 || m_m > m_n)
            return -1;
        qsizetype p = std::min(from, m_n - m_m);
        if (!m_options.wholeWord)
            return plainUp(p);
        while (p >= 0) {
            while (p >= 0 && delimiter(m_text[p]))
                --p;
            if (p < 0)
                return -1;
            // Back to the start of the word p stands in; a word at the text's start counts too.
            while (p > 0 && !delimiter(m_text[p - 1]))
                --p;
            if (matchesAt(p) && endsWord(p))
                return p;
            --p;
        }
        return -1;
    }

    bool matchesAt(qsizetype p) const
    {
        for (qsizetype i = 0; i < m_m; ++i) {
            if (fold(m_text[p + i]) != m_what[size_t(i)])
                return false;
        }
        return true;
    }

private:
    // Only ASCII letters have a case; a paragraph separator is a line break.
    char32_t fold(Unit unit) const
    {
        const auto code = char32_t(unit);
        if (code < 256)
            return m_fold[code];
        return code == QChar::ParagraphSeparator ? U'\n' : code;
    }

    static bool delimiter(Unit unit) { return char32_t(unit) >= 256 || kDelimiter[size_t(unit)]; }

    bool endsWord(qsizetype p) const { return p + m_m == m_n || delimiter(m_text[p + m_m]); }

    qsizetype plainDown(qsizetype from, qsizetype last) const
    {
        // The first unit can only be one of two raw values (an ASCII letter in either case), so
        // the scan compares raw units and folds only where a match may start.
        const char32_t first = m_what[0];
        if (first == U'\n') {
            for (qsizetype p = from; p <= last; ++p) {
                if (matchesAt(p))
                    return p;
            }
            return -1;
        }
        const Unit one = Unit(first);
        const Unit other
            = first >= 'A' && first <= 'Z' && !m_options.matchCase ? Unit(first + ('a' - 'A')) : one;
        for (qsizetype p = from; p <= last; ++p) {
            const Unit unit = m_text[p];
            if ((unit == one || unit == other) && matchesAt(p))
                return p;
        }
        return -1;
    }

    qsizetype plainUp(qsizetype from) const
    {
        for (qsizetype p = from; p >= 0; --p) {
            if (fold(m_text[p]) == m_what[0] && matchesAt(p))
                return p;
        }
        return -1;
    }

    const Unit* m_text;
    qsizetype m_n;
    qsizetype m_m;
    std::vector<char32_t> m_what;
    const unsigned char* m_fold;
    Options m_options;
};

template<typename Unit> long unitBefore(const Unit* text, qsizetype size, qsizetype position)
{
    return position > 0 && position <= size ? long(text[position - 1]) : -1;
}

template<typename Unit>
qsizetype findIn(const Unit* text, qsizetype n, qsizetype selStart, qsizetype selLength, const Unit* what,
    qsizetype m, const Options& options)
{
    const Searcher<Unit> searcher(text, n, what, m, options);
    if (options.down) {
        const qsizetype from = selStart + selLength;
        return searcher.down(from, unitBefore(text, n, from));
    }
    return searcher.up(selStart - m);
}

template<typename Unit>
bool selectionMatchesIn(
    const Unit* selection, qsizetype length, const Unit* what, qsizetype m, bool matchCase)
{
    if (length != m || m == 0)
        return false;
    return Searcher<Unit>(selection, length, what, m, {true, matchCase, false}).matchesAt(0);
}

long lastUnit(const QByteArray& text)
{
    return static_cast<unsigned char>(text.back());
}

long lastUnit(const QString& text)
{
    return text.back().unicode();
}

void appendUnits(QByteArray& text, const unsigned char* units, qsizetype count)
{
    text.append(reinterpret_cast<const char*>(units), count);
}

void appendUnits(QString& text, const char16_t* units, qsizetype count)
{
    text.append(reinterpret_cast<const QChar*>(units), count);
}

template<typename Unit, typename Text>
ReplaceAllOf<Text> replaceAllIn(const Unit* text, qsizetype n, qsizetype selStart, qsizetype selLength,
    const Unit* what, qsizetype m, const Unit* with, qsizetype w, const Options& options)
{
    ReplaceAllOf<Text> result;
    result.start = selStart;
    result.end = selStart + selLength;
    result.replacement.reserve(n - selStart);
    // The search after each replacement goes on in the text as changed so far: its units from
    // the caret on are the original ones, and only the unit before the caret may be new.
    const auto unitBeforeCaret = [&] {
        return result.replacement.isEmpty() ? unitBefore(text, n, result.start)
                                            : lastUnit(result.replacement);
    };
    if (selectionMatchesIn(text + selStart, selLength, what, m, options.matchCase)) {
        appendUnits(result.replacement, with, w);
        result.count = 1;
    }
    Options down = options;
    down.down = true;
    const Searcher<Unit> searcher(text, n, what, m, down);
    qsizetype from = result.end;
    long before = result.count > 0 ? unitBeforeCaret() : unitBefore(text, n, from);
    for (qsizetype match = searcher.down(from, before); match >= 0; match = searcher.down(from, before)) {
        if (result.count == 0)
            result.start = match;
        else
            appendUnits(result.replacement, text + from, match - from);
        appendUnits(result.replacement, with, w);
        ++result.count;
        from = match + m;
        result.end = from;
        before = unitBeforeCaret();
    }
    return result;
}

const unsigned char* bytesOf(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char*>(view.data());
}

// The UTF-8 length of one UTF-16 unit at i (a surrogate pair counts at its first unit);
// `units` receives how many units the character takes.
qsizetype utf8Length(QStringView text, qsizetype i, qsizetype& units)
{
    const char16_t unit = text[i].unicode();
    units = 1;
    if (unit < 0x80)
        return 1;
    if (unit < 0x800)
        return 2;
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        units = 2;
        return 4;
    }
    return 3;
}

} // namespace

bool isWordDelimiter(char byte)
{
    return kDelimiter[static_cast<unsigned char>(byte)];
}

qsizetype find(
    QByteArrayView text, qsizetype selStart, qsizetype selLength, QByteArrayView what, const Options& options)
{
    return findIn(bytesOf(text), text.size(), selStart, selLength, bytesOf(what), what.size(), options);
}

qsizetype find(
    QStringView text, qsizetype selStart, qsizetype selLength, QStringView what, const Options& options)
{
    return findIn(text.utf16(), text.size(), selStart, selLength, what.utf16(), what.size(), options);
}

bool selectionMatches(QByteArrayView selection, QByteArrayView what, bool matchCase)
{
    return selectionMatchesIn(bytesOf(selection), selection.size(), bytesOf(what), what.size(), matchCase);
}

bool selectionMatches(QStringView selection, QStringView what, bool matchCase)
{
    return selectionMatchesIn(selection.utf16(), selection.size(), what.utf16(), what.size(), matchCase);
}

ReplaceAllOf<QByteArray> replaceAll(QByteArrayView text, qsizetype selStart, qsizetype selLength,
    QByteArrayView what, QByteArrayView with, const Options& options)
{
    return replaceAllIn<unsigned char, QByteArray>(bytesOf(text), text.size(), selStart, selLength,
        bytesOf(what), what.size(), bytesOf(with), with.size(), options);
}

ReplaceAllOf<QString> replaceAll(QStringView text, qsizetype selStart, qsizetype selLength, QStringView what,
    QStringView with, const Options& options)
{
    return replaceAllIn<char16_t, QString>(text.utf16(), text.size(), selStart, selLength, what.utf16(),
        what.size(), with.utf16(), with.size(), options);
}

QByteArray toBytes(QStringView text)
{
    // Written through a pointer into room for the longest form: appending byte by byte costs
    // ten times as much on a text of megabytes.
    QByteArray bytes(text.size() * 3, Qt::Uninitialized);
    char* out = bytes.data();
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t code = in[i];
        if (code == QChar::ParagraphSeparator)
            code = u'\n';
        if (code < 0x80) {
            *out++ = static_cast<char>(code);
            continue;
        }
        if (code < 0x800) {
            *out++ = static_cast<char>(0xC0 | (code >> 6));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
            continue;
        }
        if (QChar::isHighSurrogate(code) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            code = QChar::surrogateToUcs4(char16_t(code), in[++i]);
            *out++ = static_cast<char>(0xF0 | (code >> 18));
            *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
            continue;
        }
        if (QChar::isSurrogate(code))
            code = QChar::ReplacementCharacter;
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    bytes.truncate(out - bytes.constData());
    bytes.squeeze();
    return bytes;
}

qsizetype byteLength(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype units = 1;
        bytes += utf8Length(text, i, units);
        i += units;
    }
    return bytes;
}

QString fittingPrefix(const QString& text, qsizetype limit)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype units = 1;
        bytes += utf8Length(text, i, units);
        if (bytes > limit)
            return text.first(i);
        i += units;
    }
    return text;
}

} // namespace TextSearch
