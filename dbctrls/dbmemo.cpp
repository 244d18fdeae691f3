#include "dbmemo.h"

#include "editinput.h"
#include "fieldlink.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>

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
    if (EditInput::admitKey(m_link, event, true))
        QPlainTextEdit::keyPressEvent(event);
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
