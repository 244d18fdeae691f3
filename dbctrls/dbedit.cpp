#include "dbedit.h"

#include "fieldlink.h"

#include <QDateTime>
#include <QLocale>

TDBEdit::TDBEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_link(new FieldLink(this, [this] { reload(); }))
{ }

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
    reload();
}

void TDBEdit::reload()
{
    QString text = m_link->fieldText();
    if (m_showsDateTime && !text.isEmpty()) {
        const QDateTime stored = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (stored.isValid())
            text = QLocale().toString(stored, QLocale::ShortFormat);
    }
    const int size = m_link->fieldSize();
    setMaxLength(size > 0 ? size : 32767);
    setText(text);
}
