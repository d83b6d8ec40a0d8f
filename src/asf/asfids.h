#pragma once

#include <QByteArrayView>
#include <QtGlobal>

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
// Objects that describe the streams of a multi-rate programme.
inline constexpr QByteArrayView headerExtension("\xB5\x03\xBF\x5F\x2E", 5);
inline constexpr QByteArrayView extendedStreamProperties("\xCB\xA5\xE6\x14\x72", 5);
inline constexpr QByteArrayView languageList("\xA9\x46\x43\x7C\xE0", 5);
inline constexpr QByteArrayView bitrateMutualExclusion("\xDC\x29\xE2\xD6\xDA", 5);
inline constexpr QByteArrayView advancedMutualExclusion("\xCF\x49\x86\xA0\x75", 5);
inline constexpr QByteArrayView exclusionLanguage("\x00\x2A\xE2\xD6\xDA", 5);
inline constexpr QByteArrayView exclusionBitrate("\x01\x2A\xE2\xD6\xDA", 5);

} // namespace lumo::asfid

// Field offsets from the start of an object (its 16-byte identifier), little-endian.
namespace lumo::asflayout {

inline constexpr qsizetype objectSize = 16; // u64, every object

namespace fileProperties {
inline constexpr qsizetype fileSize = 40;         // u64
inline constexpr qsizetype creationDate = 48;     // u64 FILETIME
inline constexpr qsizetype dataPacketsCount = 56; // u64; the resume record's low four bytes
inline constexpr qsizetype playDuration = 64;     // u64, 100 ns
inline constexpr qsizetype sendDuration = 72;     // u64, 100 ns
inline constexpr qsizetype preroll = 80;          // u64, ms (the low four bytes are read)
inline constexpr qsizetype flags = 88;            // u32: 0x01 broadcast, 0x02 seekable
inline constexpr qsizetype minPacketSize = 92;    // u32
inline constexpr qsizetype maxPacketSize = 96;    // u32
inline constexpr qsizetype maxBitrate = 100;      // u32
inline constexpr qsizetype end = 104;
} // namespace fileProperties

namespace dataObject {
inline constexpr qsizetype totalDataPackets = 40; // u64
inline constexpr qsizetype end = 50;              // the first data packet follows
} // namespace dataObject

} // namespace lumo::asflayout
