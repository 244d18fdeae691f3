#include "bytelimitvalidator.h"

#include "text/textsearch.h"

ByteLimitValidator::ByteLimitValidator(qsizetype limit, QObject* parent)
    : QValidator(parent)
    , m_limit(limit)
{ }

QValidator::State ByteLimitValidator::validate(QString& input, int& position) const
{
    if (TextSearch::byteLength(input) <= m_limit)
        return Acceptable;
    // What was just typed or pasted ends at the caret: cut that, keeping the rest of the text.
    const QString after = input.mid(position);
    const qsizetype room = m_limit - TextSearch::byteLength(after);
    if (room < 0)
        return Invalid;
    const QString before = TextSearch::fittingPrefix(input.left(position), room);
    input = before + after;
    position = int(before.size());
    return Acceptable;
}
