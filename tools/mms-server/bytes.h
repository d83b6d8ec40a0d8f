#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <QByteArray>
#include <QtEndian>
#include <span>

namespace mmsserver {

// Little-endian access to byte buffers. Every read checks the length first, so a short or hostile
// buffer yields std::nullopt instead of a read past its end.
class ByteView
{
public:
    ByteView() = default;
    ByteView(const char *data, qsizetype size) : m_data(data), m_size(size) {}
    explicit ByteView(const QByteArray &bytes) : m_data(bytes.constData()), m_size(bytes.size()) {}

    qsizetype size() const { return m_size; }
    const char *data() const { return m_data; }
    bool has(qsizetype offset, qsizetype count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_size && count <= m_size - offset;
    }

    std::optional<quint8> u8(qsizetype offset) const
    {
        if (!has(offset, 1))
            return std::nullopt;
        return static_cast<quint8>(m_data[offset]);
    }
    std::optional<quint16> u16(qsizetype offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        return qFromLittleEndian<quint16>(m_data + offset);
    }
    std::optional<quint32> u32(qsizetype offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        return qFromLittleEndian<quint32>(m_data + offset);
    }
    std::optional<quint64> u64(qsizetype offset) const
    {
        if (!has(offset, 8))
            return std::nullopt;
        return qFromLittleEndian<quint64>(m_data + offset);
    }
    std::optional<double> f64(qsizetype offset) const
    {
        const auto bits = u64(offset);
        if (!bits)
            return std::nullopt;
        double value;
        std::memcpy(&value, &*bits, sizeof value);
        return value;
    }
    ByteView mid(qsizetype offset, qsizetype count) const
    {
        if (!has(offset, count))
            return {};
        return ByteView(m_data + offset, count);
    }

private:
    const char *m_data = nullptr;
    qsizetype m_size = 0;
};

inline void putU8(char *dest, quint8 value)
{
    *dest = static_cast<char>(value);
}
inline void putU16(char *dest, quint16 value)
{
    qToLittleEndian(value, dest);
}
inline void putU32(char *dest, quint32 value)
{
    qToLittleEndian(value, dest);
}
inline void putU64(char *dest, quint64 value)
{
    qToLittleEndian(value, dest);
}

// Appends little-endian fields to a growing QByteArray.
class ByteWriter
{
public:
    explicit ByteWriter(QByteArray &out) : m_out(out) {}
    ByteWriter &u8(quint8 v)
    {
        m_out.append(static_cast<char>(v));
        return *this;
    }
    ByteWriter &u16(quint16 v)
    {
        char b[2];
        putU16(b, v);
        m_out.append(b, 2);
        return *this;
    }
    ByteWriter &u32(quint32 v)
    {
        char b[4];
        putU32(b, v);
        m_out.append(b, 4);
        return *this;
    }
    ByteWriter &u64(quint64 v)
    {
        char b[8];
        putU64(b, v);
        m_out.append(b, 8);
        return *this;
    }
    ByteWriter &f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        return u64(bits);
    }
    ByteWriter &bytes(const QByteArray &b)
    {
        m_out.append(b);
        return *this;
    }
    ByteWriter &zeros(qsizetype n)
    {
        m_out.append(n, '\0');
        return *this;
    }

private:
    QByteArray &m_out;
};

} // namespace mmsserver
