#include "scriptfile.h"

#include "base/feylumeerror.h"
#include "base/lineendings.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {
const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

[[noreturn]] void cannotOpen(const QString& path)
{
    throw FeylumeError(QStringLiteral("Cannot open file %1").arg(path));
}

[[noreturn]] void cannotCreate(const QString& path)
{
    throw FeylumeError(QStringLiteral("Cannot create file %1").arg(path));
}

[[noreturn]] void tooLarge()
{
    throw FeylumeError(QStringLiteral("Text exceeds memo capacity"));
}
} // namespace

QString ScriptFile::decode(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.constData() + kUtf8Bom.size(), bytes.size() - kUtf8Bom.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb18030("GB18030");
    return gb18030(bytes);
}

QString ScriptFile::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotOpen(path);
    // Every character takes at most four bytes, so a larger file cannot fit; it is not read.
    if (file.size() > 4 * kMemoCapacity)
        tooLarge();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        cannotOpen(path);
    QString text = LineEndings::withCrLf(decode(bytes));
    if (text.size() > kMemoCapacity)
        tooLarge();
    return text;
}

void ScriptFile::write(const QString& path, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path);
    // A short write (a full disk) must not replace the file: the temporary one is discarded.
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        cannotCreate(path);
    }
    if (!file.commit())
        cannotCreate(path);
}
