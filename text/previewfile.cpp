#include "previewfile.h"

#include "base/lineendings.h"

#include <QRegularExpression>
#include <QStringEncoder>

#include <optional>

namespace {
// Labels a browser reads as the GB family; GB18030 is a superset of every one of them.
bool isGbLabel(const QString& label)
{
    static const QStringList labels
        = {QStringLiteral("gb2312"), QStringLiteral("gbk"), QStringLiteral("gb18030"),
            QStringLiteral("x-gbk"), QStringLiteral("gb_2312"), QStringLiteral("gb_2312-80"),
            QStringLiteral("chinese"), QStringLiteral("csgb2312"), QStringLiteral("csiso58gb231280"),
            QStringLiteral("iso-ir-58"), QStringLiteral("cp936"), QStringLiteral("windows-936")};
    return labels.contains(label);
}

// A page in a file cannot really be UTF-16 or UTF-32 by its own declaration: browsers then read it
// as UTF-8, and so it is written.
bool isUnicodeLabel(const QString& label)
{
    return label.startsWith(QLatin1String("utf")) || label.startsWith(QLatin1String("ucs"))
        || label.startsWith(QLatin1String("unicode")) || label == QLatin1String("x-unicode20utf8");
}

// The text in the named encoding, or nothing when the encoding is unknown or cannot hold it all.
std::optional<QByteArray> encodedLosslessly(const QString& text, const QByteArray& encoding)
{
    QStringEncoder encoder(encoding.constData());
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}
} // namespace

QString PreviewFile::declaredCharset(const QString& page)
{
    static const QRegularExpression meta(
        QStringLiteral("<meta\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto tags = meta.globalMatch(page); tags.hasNext();) {
        const QRegularExpressionMatch declared = charset.match(tags.next().capturedView());
        if (declared.hasMatch())
            return declared.captured(1).toLower();
    }
    return {};
}

QByteArray PreviewFile::encodingFor(const QString& page)
{
    const QString label = declaredCharset(page);
    if (label.isEmpty() || isUnicodeLabel(label))
        return QByteArrayLiteral("UTF-8");
    if (isGbLabel(label))
        return QByteArrayLiteral("GB18030");
    const QByteArray declared = label.toLatin1();
    return encodedLosslessly(LineEndings::withCrLf(page), declared) ? declared : QByteArrayLiteral("UTF-8");
}

QByteArray PreviewFile::encode(const QString& page)
{
    const QString text = LineEndings::withCrLf(page);
    const QByteArray encoding = encodingFor(page);
    if (encoding != "UTF-8") {
        if (std::optional<QByteArray> bytes = encodedLosslessly(text, encoding))
            return *bytes;
    }
    // Only the file's bytes change, never the page: the mark outweighs a declaration that could
    // not hold the text, or that no browser knows.
    const QString label = declaredCharset(page);
    const bool declaresOtherCharset = !label.isEmpty() && !isUnicodeLabel(label);
    return (declaresOtherCharset ? QByteArrayLiteral("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}
