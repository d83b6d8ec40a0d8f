#include "support/testmedia.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

namespace lumo::test {

bool haveFfmpeg()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
}

int runProgram(const QString &program, const QStringList &args, QByteArray *out, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (out)
        *out = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString makeSampleAsf(const QString &dir, const QString &name, int seconds)
{
    const QString path = dir + QLatin1Char('/') + name;
    const QStringList args = {"-v",
                              "error",
                              "-y",
                              "-f",
                              "lavfi",
                              "-i",
                              QStringLiteral("testsrc=size=320x240:rate=25:duration=%1").arg(seconds),
                              "-f",
                              "lavfi",
                              "-i",
                              QStringLiteral("sine=frequency=440:duration=%1").arg(seconds),
                              "-c:v",
                              "wmv2",
                              "-b:v",
                              "400k",
                              "-c:a",
                              "wmav2",
                              "-b:a",
                              "64k",
                              "-metadata",
                              "title=Lumo sample",
                              "-f",
                              "asf",
                              path};
    return runProgram(QStringLiteral("ffmpeg"), args) == 0 ? path : QString();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray asfStreamedPart(const QString &path)
{
    const QByteArray all = readFile(path);
    if (all.size() < 30)
        return {};
    const quint64 headerObject = littleEndianAt<quint64>(all, 16);
    const qint64 dataObject = qint64(headerObject);
    if (dataObject + 50 > all.size())
        return {};
    const quint64 packets = littleEndianAt<quint64>(all, dataObject + 40);
    // Packet size from the File Properties Object (maximum data packet size at +96).
    static const char fileProperties[] = "\xA1\xDC\xAB\x8C\x47";
    const qsizetype fp = all.indexOf(QByteArray(fileProperties, 5));
    if (fp < 0 || fp + 100 > all.size())
        return {};
    const quint32 packetSize = littleEndianAt<quint32>(all, fp + 96);
    return all.left(dataObject + 50 + qint64(packets) * packetSize);
}

quint32 dataPacketsCount(const QByteArray &file)
{
    const qsizetype at = file.indexOf(QByteArray::fromHex("A1DCAB8C47"));
    return at < 0 || at + 60 > file.size() ? 0xFFFFFFFFu : littleEndianAt<quint32>(file, at + 56);
}

} // namespace lumo::test
