#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lumo::test {

// Whether ffmpeg and ffprobe are on the PATH.
bool haveFfmpeg();

// An ASF file with a video and an audio stream, made by ffmpeg into `dir`. Returns its path,
// or an empty string on failure.
QString makeSampleAsf(const QString &dir, const QString &name, int seconds = 3);

// The three-rate programme: one picture as WMV2 at 100, 300 and 600 kbit/s (streams 1, 2, 3)
// and a WMA2 sound at 32 kbit/s (stream 4), made by ffmpeg. ffmpeg states no video rates, so a
// Stream Bitrate Properties Object with the four rates is added to the header, and with
// `exclusive` a Bitrate Mutual Exclusion Object naming the three pictures, as the encoders of
// multi-rate programmes write them. Returns its path, or an empty string on failure.
QString makeThreeRateAsf(const QString &dir, const QString &name, bool exclusive = true, int seconds = 4);
inline constexpr quint32 threeRateRates[4] = {100000, 300000, 600000, 32000};

// Objects added to an ASF file's Header Object (its size, object count and the File
// Properties' file size follow); the data packets stay as they are.
QByteArray withHeaderObjects(const QByteArray &file, const QByteArray &objects);

// Packets per stream of a file as ffprobe counts them (index 0 is stream 1 ...); empty when
// ffprobe fails.
QList<int> packetsPerStream(const QString &path);

// The first HeaderSize + PacketCount x PacketSize bytes of an ASF file: what a download of it
// holds (an index after the data is not sent over MMS).
QByteArray asfStreamedPart(const QString &path);

// Runs a program to completion (bounded); returns its exit code, -1 on failure to run.
int runProgram(const QString &program, const QStringList &args, QByteArray *out = nullptr,
               int timeoutMs = 60000);

QByteArray readFile(const QString &path);

// A loopback TCP port that nothing listens on (it was free a moment ago); 0 if none was found.
quint16 closedLoopbackPort();

// Data Packets Count (low 4 bytes) of the File Properties Object, which holds the resume
// record; 0xFFFFFFFF when the file has none.
quint32 dataPacketsCount(const QByteArray &file);

// The little-endian value at `at`; 0 when it lies outside the bytes.
template <typename T> T littleEndianAt(const QByteArray &bytes, qint64 at)
{
    T value = 0;
    if (at < 0 || at + qint64(sizeof(T)) > bytes.size())
        return value;
    // Byte by byte: GCC's bounds warning cannot follow a wider read of a QByteArray here.
    for (qint64 i = qint64(sizeof(T)) - 1; i >= 0; --i)
        value = T(value << 8) | T(quint8(bytes.at(at + i)));
    return value;
}

} // namespace lumo::test
