#include "codecolouring.h"

#include "codepalette.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTextLayout>

namespace {
// What a line was last coloured from; a line whose text or start state has changed since
// needs new colours.
struct ColourStamp : QTextBlockUserData
{
    int startState;
    int revision;
};

// Only the start of a text decides whether it is HTML or a script.
constexpr int kLanguageSample = 64 * 1024;

QString languageSample(const QTextDocument* document)
{
    QString sample;
    for (QTextBlock block = document->begin(); block.isValid() && sample.size() < kLanguageSample;
         block = block.next()) {
        sample += block.text();
        sample += QLatin1Char('\n');
    }
    return sample;
}
} // namespace

CodeColouring::CodeColouring(QTextDocument* document)
    : QObject(document)
    , m_document(document)
    , m_firstState(CodeTokenizer::startState(languageSample(document)))
{
    for (int kind = 0; kind < CodeTokenizer::kKindCount; ++kind)
        m_formats[kind].setForeground(CodePalette::tokenColor(CodeTokenizer::Kind(kind)));
    connect(document, &QTextDocument::contentsChange, this, &CodeColouring::contentsChanged);
}

void CodeColouring::contentsChanged(int position, int, int)
{
    m_trustedBlocks = std::min(m_trustedBlocks, m_document->findBlock(position).blockNumber());
    if (position > kLanguageSample)
        return;
    const int state = CodeTokenizer::startState(languageSample(m_document));
    if (state != m_firstState) {
        m_firstState = state;
        m_trustedBlocks = 0;
        emit languageChanged();
    }
}

namespace {
bool isLong(const QTextBlock& block)
{
    return block.length() - 1 > CodeColouring::kLongLine;
}
} // namespace

int CodeColouring::endState(const QTextBlock& block, int startState)
{
    m_tokens.clear();
    const QString text = block.text();
    if (isLong(block))
        return CodeTokenizer::passLine(text, startState);
    return CodeTokenizer::tokenizeLine(text, startState, &m_tokens);
}

int CodeColouring::startState(const QTextBlock& block)
{
    const int number = block.blockNumber();
    if (number == 0)
        return m_firstState;
    if (m_trustedBlocks < number) {
        QTextBlock walk = m_document->findBlockByNumber(m_trustedBlocks);
        int state = m_trustedBlocks == 0 ? m_firstState : walk.previous().userState();
        for (; walk.isValid() && walk.blockNumber() < number; walk = walk.next()) {
            state = endState(walk, state);
            walk.setUserState(state);
        }
        m_trustedBlocks = number;
    }
    return block.previous().userState();
}

bool CodeColouring::colourBlock(const QTextBlock& block, int startState)
{
    auto* stamp = static_cast<ColourStamp*>(block.userData());
    const bool current = stamp && stamp->startState == startState && stamp->revision == block.revision();
    if (current && block.blockNumber() < m_trustedBlocks)
        return false;
    QTextBlock(block).setUserState(endState(block, startState));
    if (current)
        return false;
    QList<QTextLayout::FormatRange> ranges;
    {
        ranges.reserve(m_tokens.size());
        for (const CodeTokenizer::Token& token : std::as_const(m_tokens))
            ranges.append({token.start, token.length, m_formats[int(token.kind)]});
    }
    if (ranges.isEmpty() && block.layout()->formats().isEmpty() && stamp) {
        stamp->startState = startState;
        stamp->revision = block.revision();
        return false;
    }
    block.layout()->setFormats(ranges);
    if (!stamp) {
        stamp = new ColourStamp;
        QTextBlock(block).setUserData(stamp);
    }
    stamp->startState = startState;
    stamp->revision = block.revision();
    // Lays the line out again with its colours; the caller paints it, so the layout's own call
    // for a repaint would only paint it twice.
    const QSignalBlocker quiet(m_document->documentLayout());
    m_document->markContentsDirty(block.position(), block.length());
    return true;
}

std::pair<QTextBlock, QTextBlock> CodeColouring::colour(const QTextBlock& first, const QTextBlock& last)
{
    std::pair<QTextBlock, QTextBlock> coloured;
    int state = startState(first);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (colourBlock(block, state)) {
            if (!coloured.first.isValid())
                coloured.first = block;
            coloured.second = block;
        }
        state = block.userState();
        if (block.blockNumber() == m_trustedBlocks)
            ++m_trustedBlocks;
        if (block == last)
            break;
    }
    return coloured;
}
