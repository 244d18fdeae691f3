#include "characterlimit.h"

#include "base/charactercount.h"

CharacterLimit::CharacterLimit(QObject* parent)
    : QValidator(parent)
{ }

void CharacterLimit::setBaseline(const QString& text)
{
    m_baseline = characterCount(text);
}

QValidator::State CharacterLimit::validate(QString& input, int& position) const
{
    qsizetype count = characterCount(input);
    const qsizetype allowed = std::max<qsizetype>(m_limit, m_baseline);
    if (m_limit > 0 && count > allowed) {
        // Drop what was just inserted before the caret until the text fits again.
        QString fitted = input;
        int caret = position;
        while (count > allowed && caret > 0) {
            const int width
                = caret > 1 && fitted.at(caret - 1).isLowSurrogate() && fitted.at(caret - 2).isHighSurrogate()
                ? 2
                : 1;
            fitted.remove(caret - width, width);
            caret -= width;
            --count;
        }
        if (count > allowed)
            return Invalid;
        input = fitted;
        position = caret;
    }
    m_baseline = count;
    return Acceptable;
}
