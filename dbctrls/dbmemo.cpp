#include "dbmemo.h"

#include "editinput.h"
#include "fieldlink.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>

TDBMemo::TDBMemo(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_link(new FieldLink(
          this, [this](const QString& value) { showField(value); }, [this] { return text(); }))
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, m_link, &FieldLink::contentChanged);
    connect(document(), &QTextDocument::contentsChange, this, &TDBMemo::checkLineLength);
}

namespace {
// Longer lines than this are wrapped anywhere rather than at word boundaries.
constexpr qsizetype kLongLine = 10000;

qsizetype longestLine(const QString& text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

// The editor's lines from a field's CR LF (or lone CR) line ends, and the length of the longest
// line, in one pass over what may be megabytes.
QString plainLines(const QString& value, qsizetype* longest)
{
    QString plain(value.size(), Qt::Uninitialized);
    QChar* out = plain.data();
    const QChar* in = value.constData();
    const QChar* const end = in + value.size();
    QChar* lineStart = out;
    *longest = 0;
    while (in != end) {
        const QChar c = *in++;
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && in != end && *in == u'\n')
                ++in;
            *longest = std::max<qsizetype>(*longest, out - lineStart);
            *out++ = u'\n';
            lineStart = out;
        } else {
            *out++ = c;
        }
    }
    *longest = std::max<qsizetype>(*longest, out - lineStart);
    plain.truncate(out - plain.constData());
    return plain;
}
} // namespace

void TDBMemo::wrapFor(qsizetype longest)
{
    const QTextOption::WrapMode mode
        = longest > kLongLine ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
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
    qsizetype longest = 0;
    const QString plain = plainLines(value, &longest);
    // Showing the same text again keeps the caret and the scroll position.
    if (plain != toPlainText()) {
        wrapFor(longest);
        m_showing = true;
        setPlainText(plain);
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
    if (EditInput::admitKey(m_link, event, true))
        QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::inputMethodEvent(QInputMethodEvent* event)
{
    if (EditInput::admitInputMethod(m_link, event))
        QPlainTextEdit::inputMethodEvent(event);
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

void TDBMemo::dropEvent(QDropEvent* event)
{
    if (EditInput::admitDrop(m_link, event))
        QPlainTextEdit::dropEvent(event);
}

void TDBMemo::insertFromMimeData(const QMimeData* source)
{
    if (!m_link->edit())
        return;
    // Before the text arrives: its own layout is what would freeze.
    if (source->hasText() && longestLine(source->text()) > kLongLine)
        wrapFor(longestLine(source->text()));
    QPlainTextEdit::insertFromMimeData(source);
}

void TDBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    m_link->focusLeft(event);
}
