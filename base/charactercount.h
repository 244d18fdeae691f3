#pragma once

#include <QStringView>

// Declared sizes count characters as the user sees them: a character outside the basic plane
// is one character, not the two UTF-16 units QString holds for it.
inline qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (const QChar unit : text) {
        if (unit.isLowSurrogate())
            --count;
    }
    return count;
}
