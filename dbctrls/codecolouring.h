#pragma once

#include "text/codetokenizer.h"

#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>

#include <array>

class QTextDocument;

// Colours a document's code lazily: only the lines asked for, which are the lines on screen,
// get colours. Each line keeps the tokenizer state it ends in (QTextBlock::userState), trusted
// for the lines above the first change since it was worked out, so colouring a line only walks
// the lines between that change and it. Setting a whole new text therefore colours nothing
// until it is painted. Colours live in the lines' layouts, never in the text.
class CodeColouring : public QObject
{
    Q_OBJECT
public:
    // Lines longer than this stay uncoloured, and a quick pass over them carries the state on:
    // tokenizing a megabyte line on every key would double the time of typing into it.
    static constexpr int kLongLine = 10000;

    explicit CodeColouring(QTextDocument* document);

    // Colours the lines from `first` to `last` that need it. Returns the lines that got new
    // colours, first and last, or invalid blocks when none did.
    std::pair<QTextBlock, QTextBlock> colour(const QTextBlock& first, const QTextBlock& last);

    // The tokenizer state the line starts in, worked out from the lines above as far as needed.
    int startState(const QTextBlock& block);

signals:
    // The whole text now reads as another language: every line shown needs colouring again.
    void languageChanged();

private:
    void contentsChanged(int position, int removed, int added);
    int endState(const QTextBlock& block, int startState);
    bool colourBlock(const QTextBlock& block, int startState);

    QTextDocument* m_document;
    int m_firstState;
    int m_trustedBlocks = 0; // the leading lines whose userState is up to date
    QList<CodeTokenizer::Token> m_tokens;
    std::array<QTextCharFormat, CodeTokenizer::kKindCount> m_formats;
};
