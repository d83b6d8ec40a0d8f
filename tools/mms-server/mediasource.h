#pragma once

#include "asf.h"

#include <memory>
#include <QFile>
#include <QString>
#include <vector>

namespace mmsserver {

// An ASF stream the server can send: its header and its fixed-size data packets by index.
class MediaSource
{
public:
    virtual ~MediaSource() = default;
    const AsfInfo &info() const { return m_info; }
    // Writes packet `index` (< packetCount) into dest, which has room for packetSize bytes.
    virtual bool readPacket(quint64 index, char *dest) = 0;
    // The first packet to send for a start position in seconds.
    virtual quint64 packetForTime(double seconds) = 0;
    // Serves the header with a Bitrate Mutual Exclusion Object over the video streams, and a Stream
    // Bitrate Properties Object of measured rates when it has none; false if the header stays as it is.
    // *note says what was done, or why not.
    bool groupVideoStreams(QString *note);

protected:
    AsfInfo m_info;
};

class FileSource final : public MediaSource
{
public:
    static std::unique_ptr<FileSource> open(const QString &path, QString *error);
    bool readPacket(quint64 index, char *dest) override;
    quint64 packetForTime(double seconds) override;

private:
    bool fill(quint64 index);

    QFile m_file;
    qint64 m_firstPacketAt = 0; // in the file, whatever header is served
    std::vector<char> m_cache;  // read-ahead of whole packets
    quint64 m_cacheFirst = 0;
    quint64 m_cacheCount = 0;
};

struct SyntheticSpec
{
    QString name;
    quint64 bytes = 0;
    quint32 packetSize = 0;
};

// A valid audio+video ASF stream made on the fly: one template packet, with only the times and object
// numbers patched per packet, so that gigabytes cost little more than a memcpy each.
class SyntheticSource final : public MediaSource
{
public:
    static constexpr quint32 minPacketSize = 512;
    explicit SyntheticSource(const SyntheticSpec &shape);
    bool readPacket(quint64 index, char *dest) override;
    quint64 packetForTime(double seconds) override;
    quint32 packetDurationMs() const { return m_packetMs; }

private:
    std::vector<char> m_template;
    quint32 m_packetMs = 1;
    qsizetype m_videoAt = 0;
};

} // namespace mmsserver
