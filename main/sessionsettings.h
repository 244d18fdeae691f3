#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class QSettings;

// The user's places remembered between runs, in one settings file of the user's own. The file is
// read as untrusted: a value that is missing, of the wrong kind or out of its range reads as
// absent, so a damaged, hostile or unreadable file starts the program with its defaults. Without
// a path, or with anything but a regular file in its place, nothing is read or written.
class SessionSettings
{
public:
    // A larger file is no settings file of ours: it is put aside unread.
    static constexpr qint64 kLargestFileBytes = 256 * 1024;
    static constexpr int kLongestText = 4096;

    explicit SessionSettings(const QString& path);
    ~SessionSettings();
    SessionSettings(const SessionSettings&) = delete;
    SessionSettings& operator=(const SessionSettings&) = delete;

    bool isStored() const { return m_settings != nullptr; }

    QString text(const QString& key, int longest = kLongestText) const;
    std::optional<bool> flag(const QString& key) const;
    std::optional<int> number(const QString& key, int lowest, int highest) const;
    // At most `most` numbers, each within the range; anything else reads as no list.
    QList<int> numbers(const QString& key, int most, int lowest, int highest) const;
    QStringList texts(const QString& key, int most, int longest = kLongestText) const;
    std::optional<QRect> rect(const QString& key, int largest) const;

    // Values are written as plain text, never as serialized objects.
    void setText(const QString& key, const QString& value);
    void setFlag(const QString& key, bool value);
    void setNumbers(const QString& key, const QList<int>& values);
    void setTexts(const QString& key, const QStringList& values);
    void setRect(const QString& key, const QRect& value);
    // Writes the file; a file that cannot be written is given up quietly.
    void save();

private:
    QVariant raw(const QString& key) const;

    std::unique_ptr<QSettings> m_settings;
};
