#include "sessionsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
// Lists are written as one text of numbers separated by commas.
constexpr QChar kSeparator = QLatin1Char(',');

std::optional<int> toNumber(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return int(value);
}
} // namespace

SessionSettings::SessionSettings(const QString& path)
{
    if (path.isEmpty())
        return;
    // Only a regular file is ours to read: opening a FIFO blocks until someone writes to it, and
    // a device may never end. Whatever stands there instead is left alone and nothing is kept.
    const QFileInfo place(path);
    if (place.exists() && !place.isFile())
        return;
    // Reading it would only cost time; it is put aside, not deleted, and the defaults apply.
    if (place.size() > kLargestFileBytes) {
        const QString aside = path + QStringLiteral(".bad");
        QFile::remove(aside);
        if (!QFile::rename(path, aside))
            QFile::remove(path);
    }
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (m_settings->status() != QSettings::NoError)
        m_settings->clear();
}

SessionSettings::~SessionSettings() = default;

QVariant SessionSettings::raw(const QString& key) const
{
    return m_settings ? m_settings->value(key) : QVariant();
}

QString SessionSettings::text(const QString& key, int longest) const
{
    const QVariant value = raw(key);
    if (value.typeId() != QMetaType::QString)
        return {};
    const QString text = value.toString();
    return text.size() <= longest ? text : QString();
}

std::optional<bool> SessionSettings::flag(const QString& key) const
{
    const QString value = text(key, 5);
    if (value == QLatin1String("true"))
        return true;
    if (value == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<int> SessionSettings::number(const QString& key, int lowest, int highest) const
{
    const QString value = text(key, 12);
    return value.isEmpty() ? std::nullopt : toNumber(value, lowest, highest);
}

QList<int> SessionSettings::numbers(const QString& key, int most, int lowest, int highest) const
{
    const QStringList parts = text(key, most * 12).split(kSeparator, Qt::SkipEmptyParts);
    if (parts.size() > most)
        return {};
    QList<int> values;
    for (const QString& part : parts) {
        const std::optional<int> value = toNumber(part, lowest, highest);
        if (!value)
            return {};
        values << *value;
    }
    return values;
}

QStringList SessionSettings::texts(const QString& key, int most, int longest) const
{
    const QVariant value = raw(key);
    // One text is read back as a text, several as a list.
    QStringList list;
    if (value.typeId() == QMetaType::QString)
        list << value.toString();
    else if (value.typeId() == QMetaType::QStringList)
        list = value.toStringList();
    if (list.size() > most)
        return {};
    for (const QString& item : list) {
        if (item.size() > longest)
            return {};
    }
    return list;
}

std::optional<QRect> SessionSettings::rect(const QString& key, int largest) const
{
    const QList<int> values = numbers(key, 4, -largest, largest);
    if (values.size() != 4 || values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

void SessionSettings::setText(const QString& key, const QString& value)
{
    if (m_settings)
        m_settings->setValue(key, value);
}

void SessionSettings::setFlag(const QString& key, bool value)
{
    setText(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void SessionSettings::setNumbers(const QString& key, const QList<int>& values)
{
    QStringList parts;
    for (int value : values)
        parts << QString::number(value);
    setText(key, parts.join(kSeparator));
}

void SessionSettings::setTexts(const QString& key, const QStringList& values)
{
    if (m_settings)
        m_settings->setValue(key, values);
}

void SessionSettings::setRect(const QString& key, const QRect& value)
{
    setNumbers(key, {value.x(), value.y(), value.width(), value.height()});
}

void SessionSettings::save()
{
    if (!m_settings)
        return;
    QDir().mkpath(QFileInfo(m_settings->fileName()).path());
    m_settings->sync();
}
