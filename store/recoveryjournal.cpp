#include "recoveryjournal.h"

#include "database.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace {
const QByteArray kMagic = QByteArrayLiteral("FEYLUME-RECOVERY");
constexpr auto kChecksum = QCryptographicHash::Sha256;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
// Far beyond any record of the library; a bigger file is not read into memory.
constexpr qint64 kLargestJournal = qint64(1) << 31;

// How a value is kept. Texts keep their UTF-16 units and bytes their bytes, so nothing is
// normalised on the way: a lone CR, a lone surrogate or bytes that are not UTF-8 come back.
enum class ValueTag : quint8 { Null = 0, Integer = 1, Real = 2, Text = 3, Bytes = 4 };

void writeValue(QDataStream& out, const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        out << quint8(ValueTag::Null);
    } else if (value.typeId() == QMetaType::QByteArray) {
        out << quint8(ValueTag::Bytes) << value.toByteArray();
    } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        out << quint8(ValueTag::Real) << value.toDouble();
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int
        || value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::ULongLong
        || value.typeId() == QMetaType::Bool) {
        out << quint8(ValueTag::Integer) << value.toLongLong();
    } else {
        out << quint8(ValueTag::Text) << value.toString();
    }
}

bool readValue(QDataStream& in, QVariant& value)
{
    quint8 tag = 0;
    in >> tag;
    switch (ValueTag(tag)) {
    case ValueTag::Null:
        value = QVariant();
        return true;
    case ValueTag::Integer: {
        qint64 number = 0;
        in >> number;
        value = number;
        return true;
    }
    case ValueTag::Real: {
        double number = 0;
        in >> number;
        value = number;
        return true;
    }
    case ValueTag::Text: {
        QString text;
        in >> text;
        value = text;
        return true;
    }
    case ValueTag::Bytes: {
        QByteArray bytes;
        in >> bytes;
        value = bytes;
        return true;
    }
    }
    return false;
}

QByteArray encodePayload(const RecoveryRecord& record)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << quint8(record.mode) << record.libraryPath << record.scriptId << record.scriptName
        << record.rowDigest << record.changedAt.toMSecsSinceEpoch() << quint32(record.fields.size());
    for (const auto& [name, value] : record.fields) {
        out << name;
        writeValue(out, value);
    }
    return payload;
}

std::optional<RecoveryRecord> decodePayload(const QByteArray& payload)
{
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    RecoveryRecord record;
    quint8 mode = 0;
    qint64 changedAt = 0;
    quint32 fieldCount = 0;
    in >> mode >> record.libraryPath >> record.scriptId >> record.scriptName >> record.rowDigest >> changedAt
        >> fieldCount;
    if (in.status() != QDataStream::Ok
        || (mode != quint8(RecoveryRecord::Mode::Edit) && mode != quint8(RecoveryRecord::Mode::Insert)))
        return std::nullopt;
    record.mode = RecoveryRecord::Mode(mode);
    record.changedAt = QDateTime::fromMSecsSinceEpoch(changedAt, Qt::UTC);
    for (quint32 i = 0; i < fieldCount && in.status() == QDataStream::Ok; ++i) {
        QString name;
        QVariant value;
        in >> name;
        if (!readValue(in, value))
            return std::nullopt;
        record.fields.append({name, value});
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return record;
}
} // namespace

QVariant RecoveryRecord::field(const QString& name) const
{
    for (const auto& [column, value] : fields) {
        if (column == name)
            return value;
    }
    return {};
}

QByteArray RecoveryJournal::encode(const RecoveryRecord& record)
{
    const QByteArray payload = encodePayload(record);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out.writeRawData(kMagic.constData(), int(kMagic.size()));
    out << kFormatVersion << payload << QCryptographicHash::hash(payload, kChecksum);
    return bytes;
}

std::optional<RecoveryRecord> RecoveryJournal::decode(const QByteArray& bytes)
{
    if (!bytes.startsWith(kMagic))
        return std::nullopt;
    QDataStream in(bytes.sliced(kMagic.size()));
    in.setVersion(kStreamVersion);
    quint32 version = 0;
    QByteArray payload;
    QByteArray checksum;
    in >> version;
    if (version != kFormatVersion)
        return std::nullopt;
    in >> payload >> checksum;
    if (in.status() != QDataStream::Ok || !in.atEnd()
        || checksum != QCryptographicHash::hash(payload, kChecksum))
        return std::nullopt;
    return decodePayload(payload);
}

QByteArray RecoveryJournal::rowDigest(const QList<QVariant>& values)
{
    // As the library holds the row: a text and its stored bytes give the same digest.
    QCryptographicHash hash(kChecksum);
    for (const QVariant& value : values) {
        const ValueKind kind = valueKind(value);
        const QByteArray bytes = kind == ValueKind::Null ? QByteArray() : storedBytes(value);
        const qint64 size = bytes.size();
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&kind), sizeof kind));
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size));
        hash.addData(bytes);
    }
    return hash.result();
}

bool RecoveryJournal::write(const QString& path, const RecoveryRecord& record)
{
    // QSaveFile writes beside the file and renames it over the old one; the data reaches the
    // disk before the rename, so a power cut leaves the old journal or the new one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode(record);
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

RecoveryJournal::ReadResult RecoveryJournal::read(const QString& path)
{
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    result.status = ReadResult::Status::Damaged;
    QFile file(path);
    if (!info.isFile() || info.size() > kLargestJournal || !file.open(QIODevice::ReadOnly))
        return result;
    if (std::optional<RecoveryRecord> record = decode(file.readAll())) {
        result.status = ReadResult::Status::Sound;
        result.record = std::move(*record);
    }
    return result;
}
