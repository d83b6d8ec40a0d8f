#include "mediasource.h"

namespace mmsserver {

namespace {
constexpr qint64 maxHeaderBytes = 64 * 1024 * 1024;
constexpr qint64 readAheadBytes = 256 * 1024;
} // namespace

std::unique_ptr<FileSource> FileSource::open(const QString &path, QString *error)
{
    auto source = std::unique_ptr<FileSource>(new FileSource);
    source->m_file.setFileName(path);
    if (!source->m_file.open(QIODevice::ReadOnly)) {
        *error = source->m_file.errorString();
        return nullptr;
    }
    const QByteArray start = source->m_file.read(30);
    const ByteView v(start);
    if (!guidAt(v, 0, guid::header)) {
        *error = QStringLiteral("not an ASF file");
        return nullptr;
    }
    const quint64 h = v.u64(16).value_or(0);
    const qint64 fileSize = source->m_file.size();
    if (h < 30 || qint64(h) > maxHeaderBytes || qint64(h) + dataObjectHeaderBytes > fileSize) {
        *error = QStringLiteral("bad Header Object size");
        return nullptr;
    }
    source->m_file.seek(0);
    QByteArray header = source->m_file.read(qint64(h) + dataObjectHeaderBytes);
    if (!parseAsfHeader(std::move(header), fileSize - qint64(h) - dataObjectHeaderBytes, &source->m_info,
                        error))
        return nullptr;
    source->m_firstPacketAt = qint64(h) + dataObjectHeaderBytes;
    return source;
}

bool FileSource::fill(quint64 index)
{
    const quint64 packet = m_info.packetSize;
    const quint64 count =
        std::min<quint64>(std::max<quint64>(1, readAheadBytes / packet), m_info.packetCount - index);
    m_cache.resize(count * packet);
    if (!m_file.seek(m_firstPacketAt + qint64(index * packet)))
        return false;
    if (m_file.read(m_cache.data(), qint64(m_cache.size())) != qint64(m_cache.size()))
        return false;
    m_cacheFirst = index;
    m_cacheCount = count;
    return true;
}

bool FileSource::readPacket(quint64 index, char *dest)
{
    if (index >= m_info.packetCount)
        return false;
    if (index < m_cacheFirst || index >= m_cacheFirst + m_cacheCount) {
        if (!fill(index)) {
            m_cacheCount = 0;
            return false;
        }
    }
    std::memcpy(dest, m_cache.data() + (index - m_cacheFirst) * m_info.packetSize, m_info.packetSize);
    return true;
}

quint64 FileSource::packetForTime(double seconds)
{
    // Send times never decrease, so a binary search finds the last packet sent at or before the time.
    const double targetMs = seconds * 1000.0;
    std::vector<char> packet(m_info.packetSize);
    quint64 lo = 0, hi = m_info.packetCount;
    while (hi - lo > 1) {
        const quint64 mid = lo + (hi - lo) / 2;
        PacketTimes times;
        if (!readPacket(mid, packet.data()) ||
            !parsePacketTimes(ByteView(packet.data(), qsizetype(packet.size())), &times))
            break;
        if (double(times.sendTime) <= targetMs)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

} // namespace mmsserver
