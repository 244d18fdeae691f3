#pragma once

#include <QString>

// The code editor ends its lines with CR LF, as the library's texts and the files written from
// them always have; every layer that hands text to it or takes text from it uses this rule.
namespace LineEndings {
// Every lone CR and lone LF becomes CR LF; CR LF pairs stay as they are.
inline QString withCrLf(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            result += QStringLiteral("\r\n");
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            result += QStringLiteral("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}
} // namespace LineEndings
