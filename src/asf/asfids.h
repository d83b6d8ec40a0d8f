#pragma once

#include <QByteArrayView>

// ASF objects are found by searching the header bytes for the first five bytes of their
// 16-byte identifiers; these are those five bytes.
namespace lumo::asfid {

inline constexpr QByteArrayView headerObject("\x30\x26\xB2\x75\x8E", 5);
inline constexpr QByteArrayView dataObject("\x36\x26\xB2\x75\x8E", 5);
inline constexpr QByteArrayView streamBitrateProperties("\xCE\x75\xF8\x7B\x8D", 5);
inline constexpr QByteArrayView streamProperties("\x91\x07\xDC\xB7\xB7", 5);
inline constexpr QByteArrayView videoMedia("\xC0\xEF\x19\xBC\x4D", 5);
inline constexpr QByteArrayView audioMedia("\x40\x9E\x69\xF8\x4D", 5);
inline constexpr QByteArrayView audioSpread("\x50\xCD\xC3\xBF\x8F", 5);
inline constexpr QByteArrayView fileProperties("\xA1\xDC\xAB\x8C\x47", 5);
inline constexpr QByteArrayView contentDescription("\x33\x26\xB2\x75\x8E", 5);
inline constexpr QByteArrayView extendedContentDescription("\x40\xA4\xD0\xD2\x07", 5);
// The Codec List Object's reserved field; the codec list is read relative to it.
inline constexpr QByteArrayView codecListReserved("\x41\x52\xD1\x86\x1D", 5);

} // namespace lumo::asfid
