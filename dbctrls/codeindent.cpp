#include "codeindent.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace CodeIndent {

namespace {
// How far above the caret the text is read for its indentation.
constexpr int kLinesLookedAt = 100;
constexpr int kSmallestSpaceUnit = 2;
constexpr int kLargestSpaceUnit = 8;
constexpr int kTabWidth = 4; // the editor's tab stop, in spaces

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

qsizetype leadingBlanks(const QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && isBlank(text[n]))
        ++n;
    return n;
}

// The lines a cursor's selection touches; a selection that ends at the very start of a line
// does not touch that line.
std::pair<QTextBlock, QTextBlock> linesOf(const QTextCursor& cursor)
{
    const QTextDocument* document = cursor.document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    QTextBlock last = document->findBlock(cursor.selectionEnd());
    if (last != first && cursor.selectionEnd() == last.position())
        last = last.previous();
    return {first, last};
}
} // namespace

QString unitAt(const QTextCursor& cursor)
{
    QTextBlock block = cursor.document()->findBlock(cursor.selectionStart());
    int spaces = 0;
    for (int looked = 0; block.isValid() && looked < kLinesLookedAt; ++looked, block = block.previous()) {
        const QString text = block.text();
        const qsizetype blanks = leadingBlanks(text);
        if (blanks == 0 || blanks == text.size())
            continue;
        if (text[0] == u'\t')
            return spaces > 0 ? QString(spaces, u' ') : QStringLiteral("\t");
        const qsizetype run
            = std::find_if(text.begin(), text.end(), [](QChar c) { return c != u' '; }) - text.begin();
        spaces = spaces == 0 ? int(run) : std::min(spaces, int(run));
    }
    if (spaces == 0)
        return QStringLiteral("\t");
    return QString(std::clamp(spaces, kSmallestSpaceUnit, kLargestSpaceUnit), u' ');
}

void indent(QTextCursor& cursor)
{
    const QString unit = unitAt(cursor);
    cursor.beginEditBlock();
    if (!cursor.hasSelection()) {
        cursor.insertText(unit);
    } else {
        const auto [first, last] = linesOf(cursor);
        QTextCursor at(cursor.document());
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (block.length() > 1) {
                at.setPosition(block.position());
                at.insertText(unit);
            }
            if (block == last)
                break;
        }
    }
    cursor.endEditBlock();
}

void outdent(QTextCursor& cursor)
{
    const QString unit = unitAt(cursor);
    const int spaceLevel = unit == QLatin1String("\t") ? kTabWidth : int(unit.size());
    const auto [first, last] = linesOf(cursor);
    cursor.beginEditBlock();
    QTextCursor at(cursor.document());
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const QString text = block.text();
        int remove = 0;
        if (text.startsWith(u'\t')) {
            remove = 1;
        } else {
            while (remove < spaceLevel && remove < text.size() && text[remove] == u' ')
                ++remove;
            // Spaces short of a level that stand before a tab go with it.
            if (remove < spaceLevel && remove < text.size() && text[remove] == u'\t')
                ++remove;
        }
        if (remove > 0) {
            at.setPosition(block.position());
            at.setPosition(block.position() + remove, QTextCursor::KeepAnchor);
            at.removeSelectedText();
        }
        if (block == last)
            break;
    }
    cursor.endEditBlock();
}

void breakLine(QTextCursor& cursor)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlock block = cursor.block();
    const QString before = block.text().first(cursor.position() - block.position());
    const QString blanks = before.first(leadingBlanks(before));
    cursor.insertBlock();
    if (!blanks.isEmpty())
        cursor.insertText(blanks);
    cursor.endEditBlock();
}

} // namespace CodeIndent
