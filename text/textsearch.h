#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The editors' find and replace rules. They work on the bytes of the text in the system's code
// page (UTF-8), byte by byte, as the find and replace dialogs promise; positions given to and
// taken from the editors are in characters (UTF-16 units) and are mapped through SearchText.
namespace TextSearch {

struct Options
{
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// Every byte except the ASCII digits and letters delimits a word, so each byte of a Chinese
// character does too.
bool isWordDelimiter(char byte);

// The first match of `what` in `text` for a search that starts from the selection
// [selStart, selStart + selLength): downward it begins just after the selection, upward a match
// must end at or before the selection's start. There is no wrap-around, and an empty `what` is
// never found. Returns the byte position of the match, or -1.
qsizetype find(QByteArrayView text, qsizetype selStart, qsizetype selLength, QByteArrayView what,
    const Options& options);

// Whether a selection counts as the find text for a replace: exactly equal with match case on,
// equal up to the case of ASCII letters with it off.
bool selectionMatches(QByteArrayView selection, QByteArrayView what, bool matchCase);

// A replace-all as one change: the bytes [start, end) of the text give way to `replacement`.
struct ReplaceAll
{
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype end = 0;
    // Ends with the last inserted text, after which the caret stands.
    QByteArray replacement;
};

// Replaces the selection when it matches `what`, then every match downward from there, each
// search going on from the end of the text just inserted. Matches before the selection are left
// alone. count is 0 when nothing was replaced.
ReplaceAll replaceAll(QByteArrayView text, qsizetype selStart, qsizetype selLength, QByteArrayView what,
    QByteArrayView with, const Options& options);

// A box's text as the search sees it, with the mapping between character and byte positions.
class SearchText
{
public:
    explicit SearchText(QStringView text);

    QByteArrayView bytes() const { return m_bytes; }
    qsizetype byteOffset(qsizetype charPosition) const;
    qsizetype charOffset(qsizetype bytePosition) const;

private:
    QStringView m_text;
    QByteArray m_bytes;
};

// The UTF-8 form of a text. A paragraph separator, the way a multi-line editor holds its line
// breaks, is a line break; a lone surrogate becomes U+FFFD, so that every character has bytes.
QByteArray toBytes(QStringView text);

// The longest leading part of `text` whose bytes fit in `limit`, never splitting a character.
QString fittingPrefix(const QString& text, qsizetype limit);
qsizetype byteLength(QStringView text);

} // namespace TextSearch
