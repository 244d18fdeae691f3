#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <optional>

// What a record being changed would store, kept on disk so that a crash, a kill or a power cut
// does not lose it: every field of the record, the script it belongs to and how the edit began.
struct RecoveryRecord
{
    enum class Mode : quint8 { Edit = 1, Insert = 2 };

    Mode mode = Mode::Edit;
    // The library the record belongs to, as an absolute path.
    QString libraryPath;
    // Of the row the edit began from; none for a new record.
    qint64 scriptId = -1;
    QByteArray scriptName;
    QByteArray rowDigest;
    // When the values were last changed.
    QDateTime changedAt;
    // Column name and value: null, an integer, a real, a text or stored bytes, each kept exactly.
    QList<QPair<QString, QVariant>> fields;

    QVariant field(const QString& name) const;
};

// The journal file: a header with its format's version, the record, and a checksum over the
// record, so that a torn or damaged file is recognised rather than applied.
namespace RecoveryJournal {
inline constexpr quint32 kFormatVersion = 1;

QByteArray encode(const RecoveryRecord& record);
// None when the bytes are no journal of a known version or fail their checksum.
std::optional<RecoveryRecord> decode(const QByteArray& bytes);

// A digest of a row's values, to tell later whether the row is still the one an edit began from.
QByteArray rowDigest(const QList<QVariant>& values);

// Written to a temporary file in the same folder, flushed to disk and renamed into place, so
// the file is always either the previous journal or the new one; false when it cannot be.
bool write(const QString& path, const RecoveryRecord& record);

struct ReadResult
{
    enum class Status { Missing, Damaged, Sound };
    Status status = Status::Missing;
    RecoveryRecord record;
};
ReadResult read(const QString& path);
} // namespace RecoveryJournal
