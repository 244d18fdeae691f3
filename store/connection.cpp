#include "connection.h"

#include "feylumeerror.h"
#include "schema.h"

#include <QDir>

void Connection::open()
{
    if (m_db.isOpen())
        return;
    try {
        if (m_path.isEmpty())
            throw FeylumeError(QStringLiteral("no library file given"));
        m_db.open(m_path, Database::OpenMode::ExistingOnly);
        Schema::verify(m_db);
    } catch (const FeylumeError& error) {
        m_db.close();
        throw FeylumeError(QStringLiteral("%1 (%2)").arg(error.message(), QDir::toNativeSeparators(m_path)));
    }
}

void Connection::ensureOpen()
{
    if (!m_db.isOpen())
        open();
}
