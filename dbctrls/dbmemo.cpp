#include "dbmemo.h"

#include "bracketmatch.h"
#include "codecolouring.h"
#include "codefont.h"
#include "codeindent.h"
#include "codepalette.h"
#include "editinput.h"
#include "fieldlink.h"
#include "linenumbergutter.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

TDBMemo::TDBMemo(QWidget* parent)
    : FieldInput<QPlainTextEdit>(parent)
{
    m_link = new FieldLink(
        this, [this](const QString& value) { showField(value); }, [this] { return text(); });
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, m_link, &FieldLink::contentChanged);
    connect(document(), &QTextDocument::contentsChange, this, &TDBMemo::checkLineLength);
}

namespace {
// Longer lines than this are wrapped anywhere rather than at word boundaries.
constexpr qsizetype kLongLine = 10000;

// What showing a field's text takes: its lines as the editor counts them (CR LF, LF and a lone
// CR each end one), the longest of them, and the length of the text with single line ends.
struct LineScan
{
    qsizetype lines = 1;
    qsizetype longest = 0;
    qsizetype plainLength = 0;
};

// Searches for the line ends rather than looking at each character: this runs over megabytes
// while the user waits for the text.
LineScan scanLines(QStringView text)
{
    LineScan scan;
    const qsizetype carriageReturns = text.count(u'\r');
    qsizetype pairs = 0;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last)
            end = text.size();
        else
            ++scan.lines;
        const qsizetype next = end + 1;
        if (!last && end > start && text[end - 1] == u'\r') {
            ++pairs;
            --end;
        }
        if (end - start > scan.longest) {
            // Only a part this long can hold the longest line; a lone CR inside would split it.
            for (qsizetype piece = start; piece <= end;) {
                qsizetype cut = carriageReturns > pairs ? text.indexOf(u'\r', piece) : -1;
                if (cut < 0 || cut > end)
                    cut = end;
                scan.longest = std::max(scan.longest, cut - piece);
                piece = cut + 1;
            }
        }
        start = next;
    }
    scan.lines += carriageReturns - pairs;
    scan.plainLength = text.size() - pairs;
    return scan;
}

// The text with every CR LF or lone CR turned into LF, as the editor holds it.
QString plainLines(const QString& value)
{
    QString plain(value.size(), Qt::Uninitialized);
    QChar* out = plain.data();
    const QChar* in = value.constData();
    const QChar* const end = in + value.size();
    while (in != end) {
        const QChar c = *in++;
        if (c == u'\r') {
            if (in != end && *in == u'\n')
                ++in;
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    plain.truncate(out - plain.constData());
    return plain;
}
} // namespace

QTextOption::WrapMode TDBMemo::wrapModeFor(qsizetype longest)
{
    return longest > kLongLine ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

void TDBMemo::wrapFor(qsizetype longest)
{
    const QTextOption::WrapMode mode = wrapModeFor(longest);
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void TDBMemo::checkLineLength(int position, int, int added)
{
    if (!m_showing)
        m_shownUntouched = false;
    // A field being shown has had its wrap mode chosen already.
    if (m_showing || wordWrapMode() == QTextOption::WrapAnywhere)
        return;
    const QTextBlock first = document()->findBlock(position);
    const QTextBlock last = document()->findBlock(position + added);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (block.length() > kLongLine) {
            // After the change's own layout is done: changing the mode lays the text out again.
            QMetaObject::invokeMethod(
                this, [this] { wrapFor(kLongLine + 1); }, Qt::QueuedConnection);
            return;
        }
        if (block == last)
            break;
    }
}

void TDBMemo::setDataSource(DataSource* source)
{
    m_link->setDataSource(source);
}

void TDBMemo::setDataField(const QString& field)
{
    m_link->setDataField(field);
}

QString TDBMemo::text() const
{
    return toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void TDBMemo::showField(const QString& value)
{
    // A record is often announced more than once; the text shown and untouched since needs no
    // look at megabytes.
    if (m_shownUntouched && value == m_shownValue)
        return;
    const LineScan scan = scanLines(value);
    // Showing the same text again keeps the caret and the scroll position. Texts of another
    // length differ without a look at their characters.
    if (scan.plainLength != document()->characterCount() - 1 || plainLines(value) != toPlainText()) {
        m_showing = true;
        // A new wrap mode or gutter width lays out the whole text held: drop the old one first.
        if (wordWrapMode() != wrapModeFor(scan.longest)
            || (m_gutter && gutterWidth(scan.lines) != viewportMargins().left())) {
            clear();
            wrapFor(scan.longest);
            if (m_gutter)
                fitGutter(scan.lines);
        }
        // The document itself reads CR LF and a lone CR as line ends.
        setPlainText(value);
        m_showing = false;
    }
    m_shownValue = value;
    m_shownUntouched = true;
}

void TDBMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_link->reload();
        event->accept();
        return;
    }
    if (m_colouring && indentingKey(event))
        return;
    if (EditInput::admitKey(m_link, event, true))
        QPlainTextEdit::keyPressEvent(event);
}

bool TDBMemo::indentingKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    void (*edit)(QTextCursor&) = nullptr;
    if (event->key() == Qt::Key_Tab && held == Qt::NoModifier)
        edit = CodeIndent::indent;
    else if ((event->key() == Qt::Key_Backtab || event->key() == Qt::Key_Tab) && held == Qt::ShiftModifier)
        edit = CodeIndent::outdent;
    else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && held == Qt::NoModifier)
        edit = CodeIndent::breakLine;
    if (!edit)
        return false;
    // Like a typed key: the record goes into edit mode first, and the key is dropped when it cannot.
    event->accept();
    if (!m_link->edit())
        return true;
    QTextCursor cursor = textCursor();
    edit(cursor);
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void TDBMemo::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu(event->pos());
    EditInput::guardContextMenu(menu, m_link,
        {{QStringLiteral("edit-undo"), [this] { undo(); }}, {QStringLiteral("edit-redo"), [this] { redo(); }},
            {QStringLiteral("edit-cut"), [this] { cut(); }},
            {QStringLiteral("edit-paste"), [this] { paste(); }},
            {QStringLiteral("edit-delete"), [this] { textCursor().removeSelectedText(); }}});
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TDBMemo::insertFromMimeData(const QMimeData* source)
{
    if (!m_link->edit())
        return;
    // Before the text arrives: its own layout is what would freeze.
    if (source->hasText()) {
        const qsizetype longest = scanLines(source->text()).longest;
        if (longest > kLongLine)
            wrapFor(longest);
    }
    QPlainTextEdit::insertFromMimeData(source);
}

// The code editor's side: colours, line numbers and the caret's marks.
namespace {
constexpr int kGutterPadding = 6;
} // namespace

void TDBMemo::showAsCode()
{
    if (m_colouring)
        return;
    // Fixed-width, Chinese on two columns, at the size of today's text.
    setFont(codeFont(QFontInfo(font()).pixelSize()));
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    // Tab indents code; Ctrl+Tab still turns the pages, so the keyboard still leaves the editor.
    setTabChangesFocus(false);

    m_colouring = new CodeColouring(document());
    connect(m_colouring, &CodeColouring::languageChanged, viewport(), qOverload<>(&QWidget::update));
    m_gutter = new LineNumberGutter(this);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &TDBMemo::fitGutterToText);
    connect(this, &QPlainTextEdit::updateRequest, this, &TDBMemo::followUpdate);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TDBMemo::markCaret);
    fitGutterToText();
    m_gutter->show();
    markCaret();
}

void TDBMemo::paintEvent(QPaintEvent* event)
{
    if (m_colouring)
        colourShownLines(event->rect());
    QPlainTextEdit::paintEvent(event);
}

void TDBMemo::colourShownLines(const QRect& painted)
{
    // Each line's place comes from the one above it, as the editor paints them: asking the
    // editor for a line's place walks down from the first line shown every time.
    QList<QRectF> boxes;
    const QTextBlock first = firstVisibleBlock();
    QTextBlock last = first;
    QPointF offset = contentOffset();
    for (QTextBlock block = first; block.isValid() && offset.y() < viewport()->height();
         block = block.next()) {
        const QRectF box = blockBoundingRect(block).translated(offset);
        boxes.append(box);
        offset.ry() += box.height();
        last = block;
    }
    const auto [from, to] = m_colouring->colour(first, last);
    if (!from.isValid())
        return;
    // Lines below the painted ones can change colour too, when a change above them opened or
    // closed a comment or string.
    const int top = qFloor(boxes[from.blockNumber() - first.blockNumber()].top());
    const int bottom = qCeil(boxes[to.blockNumber() - first.blockNumber()].bottom());
    const QRect recoloured(0, top, viewport()->width(), bottom - top);
    if (!painted.contains(recoloured))
        viewport()->update(QRegion(recoloured).subtracted(painted));
}

int TDBMemo::gutterWidth(qsizetype lines) const
{
    int digits = 3;
    for (qsizetype count = lines; count >= 1000; count /= 10)
        ++digits;
    return 2 * kGutterPadding + digits * fontMetrics().horizontalAdvance(QLatin1Char('9'));
}

void TDBMemo::fitGutter(qsizetype lines)
{
    const int width = gutterWidth(lines);
    if (viewportMargins().left() != width)
        setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    m_gutter->setGeometry(area.left(), area.top(), width, viewport()->height());
}

void TDBMemo::fitGutterToText()
{
    // A field being shown has had its gutter fitted before its text arrived; the line counts
    // passed through on the way would lay the whole text out again.
    if (m_showing)
        return;
    fitGutter(blockCount());
}

void TDBMemo::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    if (m_gutter)
        fitGutterToText();
}

void TDBMemo::followUpdate(const QRect& rect, int dy)
{
    if (dy != 0) {
        m_gutter->scroll(0, dy);
        return;
    }
    // A change that moves lines (a line more or less, a line wrapping onto another row, a new
    // layout) repaints the text down to the bottom; any other leaves every number in its place.
    if (rect.bottom() >= viewport()->rect().bottom())
        m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
}

void TDBMemo::paintLineNumbers(QPaintEvent* event)
{
    QPainter painter(m_gutter);
    painter.fillRect(event->rect(), CodePalette::gutterBackground());
    const int caretLine = textCursor().blockNumber();
    const int lineHeight = fontMetrics().height();
    const int numberWidth = m_gutter->width() - kGutterPadding;
    // Each line of the text gets its number once, on its first row when it is wrapped.
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingRect(block).translated(offset);
        offset.ry() += box.height();
        if (box.top() > event->rect().bottom())
            break;
        if (!block.isVisible() || box.bottom() < event->rect().top())
            continue;
        const int number = block.blockNumber();
        painter.setPen(
            number == caretLine ? CodePalette::gutterCurrentNumber() : CodePalette::gutterNumber());
        const QTextLayout* layout = block.layout();
        const int rowTop = qRound(box.top() + (layout->lineCount() > 0 ? layout->lineAt(0).y() : 0));
        painter.drawText(
            0, rowTop, numberWidth, lineHeight, Qt::AlignRight | Qt::AlignTop, QString::number(number + 1));
    }
}

void TDBMemo::markCaret()
{
    QList<QTextEdit::ExtraSelection> marks;
    QTextEdit::ExtraSelection line;
    line.format.setBackground(CodePalette::currentLine());
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    // Anchored at the start of the caret's row, the mark stays the same while the caret moves
    // along the row, and the editor then repaints nothing for it.
    line.cursor = textCursor();
    line.cursor.clearSelection();
    line.cursor.movePosition(QTextCursor::StartOfLine);
    marks.append(line);
    const BracketMatch::Pair pair = BracketMatch::find(document(), textCursor().position(),
        [this](const QTextBlock& block) { return m_colouring->startState(block); });
    for (const int position : {pair.bracket, pair.partner}) {
        if (position >= 0) {
            QTextEdit::ExtraSelection bracket;
            bracket.format.setBackground(
                pair.partner >= 0 ? CodePalette::matchingBracket() : CodePalette::unmatchedBracket());
            bracket.cursor = QTextCursor(document());
            bracket.cursor.setPosition(position);
            bracket.cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
            marks.append(bracket);
        }
    }
    setExtraSelections(marks);
    keepCaretLineShaped();
    // The caret's line number has its own colour.
    const int caretLine = textCursor().blockNumber();
    if (caretLine != m_caretLine) {
        m_caretLine = caretLine;
        m_gutter->update();
    }
}

// A line's layout drops its shaped glyphs once it is laid out, so every paint of the line, every
// caret drawn in it and every caret move along it shapes its text again; a coloured line has a
// piece to shape for every colour. The caret's line, which is painted on every key, keeps them.
void TDBMemo::keepCaretLineShaped()
{
    const QTextBlock caretBlock = textCursor().block();
    QTextBlock kept = m_shapedLine.isNull() ? QTextBlock() : m_shapedLine.block();
    if (kept == caretBlock && caretBlock.layout()->cacheEnabled())
        return;
    if (kept.isValid()) {
        // A line split at its start leaves the kept glyphs in the line next to the one tracked.
        for (const QTextBlock& near : {kept.previous(), kept, kept.next()}) {
            if (near.isValid() && near.layout()->cacheEnabled())
                dropShapes(near);
        }
    }
    m_shapedLine = QTextCursor();
    // Colouring skips a line this long, and its glyphs would take megabytes.
    if (caretBlock.length() - 1 > CodeColouring::kLongLine)
        return;
    caretBlock.layout()->setCacheEnabled(true);
    m_shapedLine = QTextCursor(caretBlock);
}

void TDBMemo::dropShapes(const QTextBlock& block)
{
    QTextLayout* layout = block.layout();
    layout->setCacheEnabled(false);
    // Setting the formats again is what lets a layout go of its glyphs; the line is laid out
    // again when it is next painted, as a coloured line is.
    layout->setFormats(layout->formats());
    const QSignalBlocker quiet(document()->documentLayout());
    document()->markContentsDirty(block.position(), 1);
}
