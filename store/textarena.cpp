#include "textarena.h"

#include "database.h"

#include <QStringDecoder>

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr qsizetype kTextBlockSize = 1 << 20;

// Asks for large pages under a long text about to be written: first touching fresh memory one
// small page at a time costs more than decoding the text into it. Only a hint; the kernel may
// say no.
void adviseLargePages(const void* data, qsizetype bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr quintptr kLargePage = quintptr(2) << 20;
    const auto start = reinterpret_cast<quintptr>(data);
    const quintptr from = (start + kLargePage - 1) & ~(kLargePage - 1);
    const quintptr to = (start + quintptr(bytes)) & ~(kLargePage - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}
} // namespace

QString Cell::textValue() const
{
    return decoded ? *decoded : QString::fromUtf8(text, size);
}

QByteArray Cell::bytes() const
{
    return decoded ? decoded->toUtf8() : QByteArray(text, size);
}

QVariant Cell::value() const
{
    switch (kind) {
    case Integer:
        return QVariant(integer);
    case Real:
        return QVariant(real);
    case Text:
        return QVariant(textValue());
    default:
        return {};
    }
}

QVariant Cell::storedValue() const
{
    if (kind == Text)
        return QVariant(bytes());
    return value();
}

Cell TextArena::keepText(const char* data, qsizetype size)
{
    if (size == 0)
        return Cell {Cell::Text, 0, 0, "", 0};
    if (size > m_left) {
        const qsizetype blockSize = std::max(kTextBlockSize, size);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        m_free = m_blocks.back().get();
        m_left = blockSize;
    }
    std::memcpy(m_free, data, size_t(size));
    const Cell cell {Cell::Text, 0, 0, m_free, size};
    m_free += size;
    m_left -= size;
    return cell;
}

Cell TextArena::keepDecodedText(QByteArrayView bytes)
{
    // Short texts stay bytes: a load fetches many it never reads.
    constexpr qsizetype kDecodedLength = 64 * 1024;
    // Reading drops a leading byte order mark, which the decoded text could then not give back.
    if (bytes.size() < kDecodedLength || bytes.startsWith("\xEF\xBB\xBF"))
        return keepText(bytes.data(), bytes.size());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    auto text = std::make_unique<QString>(decoder.requiredSpace(bytes.size()), Qt::Uninitialized);
    adviseLargePages(text->constData(), text->size() * qsizetype(sizeof(QChar)));
    text->truncate(decoder.appendToBuffer(text->data(), bytes) - text->constData());
    // Bytes that are not UTF-8 would not come back from the decoded text.
    if (decoder.hasError())
        return keepText(bytes.data(), bytes.size());
    m_decoded.push_back(std::move(text));
    Cell cell {Cell::Text, 0, 0, nullptr, bytes.size()};
    cell.decoded = m_decoded.back().get();
    return cell;
}

Cell TextArena::cellFrom(const QVariant& value)
{
    switch (valueKind(value)) {
    case ValueKind::Null:
        return Cell {};
    case ValueKind::Integer:
        return Cell {Cell::Integer, value.toLongLong(), 0, nullptr, 0};
    case ValueKind::Real:
        return Cell {Cell::Real, 0, value.toDouble(), nullptr, 0};
    case ValueKind::Text:
        break;
    }
    const QByteArray text = storedBytes(value);
    return keepText(text.constData(), text.size());
}

void TextArena::release()
{
    m_decoded.clear();
    if (m_blocks.size() > 1)
        m_blocks.resize(1);
    m_free = m_blocks.empty() ? nullptr : m_blocks.front().get();
    m_left = m_blocks.empty() ? 0 : kTextBlockSize;
}
