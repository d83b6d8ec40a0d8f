#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

namespace lumo {

class Interaction;

// Little-endian field access used on every received field and every written value.

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

// Unchecked reads for callers that have already checked the length.
inline quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}
inline quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
inline quint64 le64(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}

// Reads the u32 at the 1-based `position`. Out of range: `out` is left unchanged and, when
// `person` is given, the range message is shown to them. Returns whether `out` was set.
bool ReadU32(QByteArrayView bytes, qint64 position, quint32 &out, Interaction *person = nullptr);

// The message ReadU32 shows for a position that does not fit.
QString ReadU32RangeMessage(qint64 position, qint64 length);

} // namespace lumo
