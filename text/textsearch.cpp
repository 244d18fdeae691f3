#include "textsearch.h"

#include <algorithm>
#include <array>
#include <cstring>

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

QByteArray folded(QByteArrayView what, bool matchCase)
{
    QByteArray result(what.data(), what.size());
    if (!matchCase) {
        for (char& byte : result)
            byte = static_cast<char>(kUpper[static_cast<unsigned char>(byte)]);
    }
    return result;
}

// One search: the text, the find text already folded for the case rule, and the options. It
// reads the bytes through plain pointers: the scans run over megabytes.
class Searcher
{
public:
    Searcher(QByteArrayView text, QByteArrayView what, const Options& options)
        : m_what(folded(what, options.matchCase))
        , m_text(reinterpret_cast<const unsigned char*>(text.data()))
        , m_n(text.size())
        , m_w(reinterpret_cast<const unsigned char*>(m_what.constData()))
        , m_m(m_what.size())
        , m_fold(options.matchCase ? kSame.data() : kUpper.data())
        , m_options(options)
    { }

    // Downward from `from`. byteBefore is the byte just before `from` (-1 at the text's start);
    // it decides whether a word begins exactly at `from`.
    qsizetype down(qsizetype from, int byteBefore) const
    {
        const qsizetype last = m_n - m_m;
        // The candidates from..last are the search's whole budget: every skipped byte and every
        // failed candidate uses one, so the scan always ends.
        if (m_m == 0 || from < 0 || from > last)
            return -1;
        if (!m_options.wholeWord)
            return plainDown(from, last);
        qsizetype p = from;
        while (p <= last) {
            const int before = p == from ? byteBefore : m_text[p - 1];
            const bool atWordStart = !delimiter(p) && (before < 0 || kDelimiter[before]);
            if (!atWordStart) {
                while (p <= last && !delimiter(p))
                    ++p;
                while (p <= last && delimiter(p))
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
            while (p >= 0 && delimiter(p))
                --p;
            if (p < 0)
                return -1;
            // Back to the start of the word p stands in; a word at the text's start counts too.
            while (p > 0 && !delimiter(p - 1))
                --p;
            if (matchesAt(p) && endsWord(p))
                return p;
            --p;
        }
        return -1;
    }

    bool matchesAt(qsizetype p) const
    {
        if (m_options.matchCase)
            return std::memcmp(m_text + p, m_w, size_t(m_m)) == 0;
        for (qsizetype i = 0; i < m_m; ++i) {
            if (m_fold[m_text[p + i]] != m_w[i])
                return false;
        }
        return true;
    }

private:
    bool delimiter(qsizetype p) const { return kDelimiter[m_text[p]]; }

    bool endsWord(qsizetype p) const { return p + m_m == m_n || delimiter(p + m_m); }

    qsizetype plainDown(qsizetype from, qsizetype last) const
    {
        for (qsizetype p = from; p <= last; ++p) {
            if (m_fold[m_text[p]] == m_w[0] && matchesAt(p))
                return p;
        }
        return -1;
    }

    qsizetype plainUp(qsizetype from) const
    {
        for (qsizetype p = from; p >= 0; --p) {
            if (m_fold[m_text[p]] == m_w[0] && matchesAt(p))
                return p;
        }
        return -1;
    }

    QByteArray m_what;
    const unsigned char* m_text;
    qsizetype m_n;
    const unsigned char* m_w;
    qsizetype m_m;
    const unsigned char* m_fold;
    Options m_options;
};

int byteBefore(QByteArrayView text, qsizetype position)
{
    return position > 0 && position <= text.size() ? static_cast<unsigned char>(text[position - 1]) : -1;
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
    const unsigned char value = static_cast<unsigned char>(byte);
    return !(
        (value >= '0' && value <= '9') || (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z'));
}

qsizetype find(
    QByteArrayView text, qsizetype selStart, qsizetype selLength, QByteArrayView what, const Options& options)
{
    const Searcher searcher(text, what, options);
    if (options.down) {
        const qsizetype from = selStart + selLength;
        return searcher.down(from, byteBefore(text, from));
    }
    return searcher.up(selStart - what.size());
}

bool selectionMatches(QByteArrayView selection, QByteArrayView what, bool matchCase)
{
    if (selection.size() != what.size() || what.isEmpty())
        return false;
    const Searcher searcher(selection, what, {true, matchCase, false});
    return searcher.matchesAt(0);
}

ReplaceAll replaceAll(QByteArrayView text, qsizetype selStart, qsizetype selLength, QByteArrayView what,
    QByteArrayView with, const Options& options)
{
    ReplaceAll result;
    result.start = selStart;
    result.end = selStart + selLength;
    result.replacement.reserve(text.size() - selStart);
    // The search after each replacement goes on in the text as changed so far: its bytes from
    // the caret on are the original ones, and only the byte before the caret may be new.
    const auto byteBeforeCaret = [&] {
        return result.replacement.isEmpty() ? byteBefore(text, result.start)
                                            : static_cast<unsigned char>(result.replacement.back());
    };
    if (selectionMatches(text.sliced(selStart, selLength), what, options.matchCase)) {
        result.replacement.append(with);
        result.count = 1;
    }
    Options down = options;
    down.down = true;
    const Searcher searcher(text, what, down);
    qsizetype from = result.end;
    int before = result.count > 0 ? byteBeforeCaret() : byteBefore(text, from);
    for (qsizetype match = searcher.down(from, before); match >= 0; match = searcher.down(from, before)) {
        if (result.count == 0)
            result.start = match;
        else
            result.replacement.append(text.sliced(from, match - from));
        result.replacement.append(with);
        ++result.count;
        from = match + what.size();
        result.end = from;
        before = byteBeforeCaret();
    }
    return result;
}

SearchText::SearchText(QStringView text)
    : m_text(text)
    , m_bytes(toBytes(text))
{ }

qsizetype SearchText::byteOffset(qsizetype charPosition) const
{
    return byteLength(m_text.first(std::clamp<qsizetype>(charPosition, 0, m_text.size())));
}

qsizetype SearchText::charOffset(qsizetype bytePosition) const
{
    // Every byte that does not continue a character starts one, and a four-byte character takes
    // two UTF-16 units; summed without branches, the loop runs over megabytes at memory speed.
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_bytes.constData());
    const qsizetype end = std::clamp<qsizetype>(bytePosition, 0, m_bytes.size());
    qsizetype chars = 0;
    for (qsizetype i = 0; i < end; ++i)
        chars += qsizetype((bytes[i] & 0xC0) != 0x80) + qsizetype(bytes[i] >= 0xF0);
    return chars;
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
