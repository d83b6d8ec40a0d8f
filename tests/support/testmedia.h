#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumo::test {

// Whether ffmpeg and ffprobe are on the PATH.
bool haveFfmpeg();

// An ASF file with a video and an audio stream, made by ffmpeg into `dir`. Returns its path,
// or an empty string on failure.
QString makeSampleAsf(const QString &dir, const QString &name, int seconds = 3);

// The first HeaderSize + PacketCount x PacketSize bytes of an ASF file: what a download of it
// holds (an index after the data is not sent over MMS).
QByteArray asfStreamedPart(const QString &path);

// Runs a program to completion (bounded); returns its exit code, -1 on failure to run.
int runProgram(const QString &program, const QStringList &args, QByteArray *out = nullptr,
               int timeoutMs = 60000);

QByteArray readFile(const QString &path);

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
