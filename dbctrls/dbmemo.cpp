#include "dbmemo.h"

#include "fieldlink.h"

TDBMemo::TDBMemo(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_link(new FieldLink(this, [this] { reload(); }))
{ }

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

void TDBMemo::reload()
{
    QString text = m_link->fieldText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
}
