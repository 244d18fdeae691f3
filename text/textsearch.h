#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The editors' find and replace rules. They are rules on the bytes of the text in the system's
// code page (UTF-8), read byte by byte, as the find and replace dialogs promise. The same rules
// also run on a text's UTF-16 characters with positions in characters, which is what the
// editors take: a valid find text can only match whole characters, every byte of a non-ASCII
// character is a word delimiter and only ASCII letters have a case, so both give the same
// matches, and the editors skip converting megabytes to bytes and positions back.
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
// never found. Returns the position of the match, or -1.
qsizetype find(QByteArrayView text, qsizetype selStart, qsizetype selLength, QByteArrayView what,
    const Options& options);
// In a multi-line editor's text a paragraph separator is a line break.
qsizetype find(
    QStringView text, qsizetype selStart, qsizetype selLength, QStringView what, const Options& options);

// Whether a selection counts as the find text for a replace: exactly equal with match case on,
// equal up to the case of ASCII letters with it off.
bool selectionMatches(QByteArrayView selection, QByteArrayView what, bool matchCase);
bool selectionMatches(QStringView selection, QStringView what, bool matchCase);

// A replace-all as one change: the part [start, end) of the text gives way to `replacement`.
template<typename Text> struct ReplaceAllOf
{
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype end = 0;
    // Ends with the last inserted text, after which the caret stands.
    Text replacement;
};

// Replaces the selection when it matches `what`, then every match downward from there, each
// search going on from the end of the text just inserted. Matches before the selection are left
// alone. count is 0 when nothing was replaced.
ReplaceAllOf<QByteArray> replaceAll(QByteArrayView text, qsizetype selStart, qsizetype selLength,
    QByteArrayView what, QByteArrayView with, const Options& options);
ReplaceAllOf<QString> replaceAll(QStringView text, qsizetype selStart, qsizetype selLength, QStringView what,
    QStringView with, const Options& options);

// The UTF-8 form of a text. A paragraph separator, the way a multi-line editor holds its line
// breaks, is a line break; a lone surrogate becomes U+FFFD, so that every character has bytes.
QByteArray toBytes(QStringView text);
qsizetype byteLength(QStringView text);
// The longest leading part of `text` whose bytes fit in `limit`, never splitting a character.
QString fittingPrefix(const QString& text, qsizetype limit);

} // namespace TextSearch
