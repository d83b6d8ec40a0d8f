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

} // namespace lumo::test
