#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#include <optional>

namespace lumo {

// Little-endian reads of fields whose length the caller has already made sure of: the fixed
// media prefix and the reader below. Everything else reads through ByteReader.
namespace unchecked {
inline quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
inline quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}
inline quint64 le64(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}
} // namespace unchecked

// The one way bytes from outside are read: MMS commands, ASF headers, local files. Offsets are
// 0-based; a field that does not lie wholly inside the bytes reads as nullopt, and the caller
// decides what that means for the person.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype size() const { return m_bytes.size(); }
    bool fits(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_bytes.size() && length <= m_bytes.size() - offset;
    }
    std::optional<quint8> u8(qint64 offset) const
    {
        if (!fits(offset, 1))
            return std::nullopt;
        return quint8(m_bytes[offset]);
    }
    std::optional<quint16> u16(qint64 offset) const
    {
        if (!fits(offset, 2))
            return std::nullopt;
        return unchecked::le16(m_bytes.data() + offset);
    }
    std::optional<quint32> u32(qint64 offset) const
    {
        if (!fits(offset, 4))
            return std::nullopt;
        return unchecked::le32(m_bytes.data() + offset);
    }
    std::optional<quint64> u64(qint64 offset) const
    {
        if (!fits(offset, 8))
            return std::nullopt;
        return unchecked::le64(m_bytes.data() + offset);
    }
    std::optional<QByteArrayView> bytes(qint64 offset, qint64 length) const
    {
        if (!fits(offset, length))
            return std::nullopt;
        return m_bytes.sliced(offset, length);
    }
    bool matches(qint64 offset, QByteArrayView expected) const
    {
        const auto b = bytes(offset, expected.size());
        return b && *b == expected;
    }
    qint64 find(QByteArrayView needle, qint64 from = 0) const { return m_bytes.indexOf(needle, from); }

private:
    QByteArrayView m_bytes;
};

// Little-endian writes of the fields we put on the wire and into files.
inline QByteArray U32ToBytes(quint32 value)
{
    QByteArray out(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(value, out.data());
    return out;
}

// The low and the high half of a 64-bit field, each little-endian.
inline QByteArray U64ToBytes(quint32 low, quint32 high)
{
    return U32ToBytes(low) + U32ToBytes(high);
}

inline QByteArray U64ToBytes(quint64 value)
{
    return U64ToBytes(quint32(value), quint32(value >> 32));
}

} // namespace lumo
