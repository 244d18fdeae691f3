#include "codefont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

namespace {
// In order of preference: faces drawn with Chinese on two columns first, then fixed-width faces
// whose Chinese comes from a fallback of another width.
const char* const kFaces[] = {"Noto Sans Mono CJK SC", "Noto Sans Mono CJK TC", "Noto Sans Mono CJK JP",
    "Noto Sans Mono CJK KR", "Sarasa Mono SC", "WenQuanYi Zen Hei Mono", "WenQuanYi Micro Hei Mono",
    "DejaVu Sans Mono", "Liberation Mono"};
// How far from the size asked for a size that keeps Chinese on two columns is looked for.
constexpr int kSizeReach = 2;
// Chinese text as snippets hold it: characters and full-width punctuation.
const char16_t kChinese[] = u"把下面代码放进区，。：";

QFont faceAt(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}
} // namespace

bool hasEvenColumns(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char(' '));
    for (char16_t c = u'!'; c <= u'~'; ++c) {
        if (metrics.horizontalAdvance(QChar(c)) != advance)
            return false;
    }
    return advance > 0;
}

bool hasDoubleWidthChinese(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const QString chinese = QString::fromUtf16(kChinese);
    return metrics.horizontalAdvance(chinese) == 2 * metrics.horizontalAdvance(QString(chinese.size(), u'x'));
}

QFont codeFont(int pixelSize)
{
    const QStringList present = QFontDatabase::families();
    QFont evenOnly;
    bool haveEvenOnly = false;
    for (const char* name : kFaces) {
        const QString family = QString::fromLatin1(name);
        if (!present.contains(family))
            continue;
        for (int step = 0; step <= 2 * kSizeReach; ++step) {
            // 0, +1, -1, +2, -2: the nearest size first, the larger of two equally near.
            const int size = pixelSize + (step % 2 == 1 ? (step + 1) / 2 : -step / 2);
            const QFont font = faceAt(family, size);
            if (size > 0 && QFontInfo(font).family() == family && hasEvenColumns(font)
                && hasDoubleWidthChinese(font))
                return font;
        }
        const QFont font = faceAt(family, pixelSize);
        if (!haveEvenOnly && QFontInfo(font).family() == family && hasEvenColumns(font)) {
            evenOnly = font;
            haveEvenOnly = true;
        }
    }
    if (haveEvenOnly)
        return evenOnly;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(pixelSize);
    return fixed;
}
