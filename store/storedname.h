#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A category or script name as the library stores it. The bytes identify the row and are kept
// exactly: a library written elsewhere may hold names that are no valid UTF-8, whose shown text
// would not find the row again. A name the user types is stored as its UTF-8.
class StoredName
{
public:
    StoredName() = default;
    // A typed or shown name, stored as its UTF-8. Never made behind the caller's back: where a
    // name's stored bytes matter, the text shown for them may not give them back.
    explicit StoredName(const QString& text)
        : m_bytes(text.toUtf8())
    { }
    static StoredName fromBytes(QByteArrayView bytes)
    {
        StoredName name;
        name.m_bytes = bytes.toByteArray();
        return name;
    }

    const QByteArray& bytes() const { return m_bytes; }
    QString text() const { return QString::fromUtf8(m_bytes); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    // False for bytes that are no valid UTF-8: their text stores back as other bytes.
    bool isShowable() const { return isShowable(m_bytes, text()); }
    // The same for bytes already decoded into the text shown for them.
    static bool isShowable(QByteArrayView bytes, const QString& shown)
    {
        return QByteArrayView(shown.toUtf8()) == bytes;
    }

    friend bool operator==(const StoredName& a, const StoredName& b) { return a.m_bytes == b.m_bytes; }
    friend bool operator==(const StoredName& a, QByteArrayView b) { return QByteArrayView(a.m_bytes) == b; }

private:
    QByteArray m_bytes;
};
