#include "dbedit.h"

#include "characterlimit.h"
#include "editinput.h"
#include "fieldlink.h"
#include "fittingfont.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionFrame>

#include <limits>

TDBEdit::TDBEdit(QWidget* parent)
    : FieldInput<QLineEdit>(parent)
    , m_limit(new CharacterLimit(this))
{
    m_link = new FieldLink(
        this, [this](const QString& value) { showField(value); }, [this] { return text(); });
    // The limit is the declared size in characters; QLineEdit's own maximum would cut stored
    // text that is longer, and counts UTF-16 units.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(m_limit);
    connect(this, &QLineEdit::textChanged, m_link, &FieldLink::contentChanged);
}

void TDBEdit::setDataSource(DataSource* source)
{
    m_link->setDataSource(source);
}

void TDBEdit::setDataField(const QString& field)
{
    m_link->setDataField(field);
}

void TDBEdit::setShowsDateTime(bool on)
{
    m_showsDateTime = on;
    m_link->reload();
}

void TDBEdit::setFitsTextToBox(bool on)
{
    if (on && !m_fitsTextToBox)
        m_fullSizeFont = font();
    else if (!on && m_fitsTextToBox)
        setFont(m_fullSizeFont);
    m_fitsTextToBox = on;
    fitTextToBox();
}

void TDBEdit::fitTextToBox()
{
    if (!m_fitsTextToBox)
        return;
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents
        = style()->subElementRect(QStyle::SE_LineEditContents, &option, this).marginsRemoved(textMargins());
    // QLineEdit keeps two pixels clear at each side and a pixel for the caret.
    constexpr int kLineEditMargins = 2 * 2 + 1;
    const QFont fitted = fittingFont(m_fullSizeFont, text(), contents.width() - kLineEditMargins);
    if (fitted != font())
        setFont(fitted);
}

void TDBEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    fitTextToBox();
}

void TDBEdit::showField(const QString& value)
{
    QString shown = value;
    if (m_showsDateTime && !shown.isEmpty()) {
        const QDateTime stored = QDateTime::fromString(shown, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (stored.isValid()) {
            // The desktop's short form; without a language of its own (the C locale) that form
            // is long and English, so the stored form is shown instead.
            const QLocale locale;
            shown = locale.language() == QLocale::C ? stored.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                    : locale.toString(stored, QLocale::ShortFormat);
        }
    }
    m_limit->setLimit(m_link->fieldSize());
    m_limit->setBaseline(shown);
    // Showing the same text again keeps the caret where the user put it.
    if (shown != text()) {
        setText(shown);
        fitTextToBox();
        // A text longer than the box shows from its start, as a user reads it.
        setCursorPosition(0);
    }
}

void TDBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_link->reload();
        selectAll();
        event->accept();
        return;
    }
    if (EditInput::admitKey(m_link, event, false))
        QLineEdit::keyPressEvent(event);
}

void TDBEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    EditInput::guardContextMenu(menu, m_link,
        {{QStringLiteral("edit-undo"), [this] { undo(); }}, {QStringLiteral("edit-redo"), [this] { redo(); }},
            {QStringLiteral("edit-cut"), [this] { cut(); }},
            {QStringLiteral("edit-paste"), [this] { paste(); }},
            {QStringLiteral("edit-delete"), [this] { del(); }}});
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
