#include "support/testmedia.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
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

QString makeThreeRateAsf(const QString &dir, const QString &name, bool exclusive, int seconds)
{
    const QString made = dir + QStringLiteral("/ffmpeg-") + name;
    const QString length = QString::number(seconds);
    const QStringList args = {"-v",
                              "error",
                              "-y",
                              "-f",
                              "lavfi",
                              "-i",
                              "testsrc=size=160x120:rate=15:duration=" + length,
                              "-f",
                              "lavfi",
                              "-i",
                              "sine=duration=" + length,
                              "-map",
                              "0:v",
                              "-map",
                              "0:v",
                              "-map",
                              "0:v",
                              "-map",
                              "1:a",
                              "-c:v",
                              "wmv2",
                              "-b:v:0",
                              "100k",
                              "-b:v:1",
                              "300k",
                              "-b:v:2",
                              "600k",
                              "-c:a",
                              "wmav2",
                              "-b:a",
                              "32k",
                              "-f",
                              "asf",
                              made};
    if (runProgram(QStringLiteral("ffmpeg"), args) != 0)
        return {};

    const auto u16 = [](quint16 v) {
        QByteArray out(2, Qt::Uninitialized);
        qToLittleEndian(v, out.data());
        return out;
    };
    const auto u32 = [](quint32 v) {
        QByteArray out(4, Qt::Uninitialized);
        qToLittleEndian(v, out.data());
        return out;
    };
    const auto object = [&](const char *guidHex, const QByteArray &payload) {
        QByteArray size(8, Qt::Uninitialized);
        qToLittleEndian<quint64>(quint64(24 + payload.size()), size.data());
        return QByteArray::fromHex(guidHex) + size + payload;
    };
    QByteArray records = u16(4);
    for (quint16 stream = 1; stream <= 4; ++stream)
        records += u16(stream) + u32(threeRateRates[stream - 1]);
    // Stream Bitrate Properties {7BF875CE-468D-11D1-8D82-006097C9A2B2}.
    QByteArray objects = object("CE75F87B8D46D1118D82006097C9A2B2", records);
    if (exclusive) {
        // Bitrate Mutual Exclusion {D6E229DC-...} of the type Mutex Bitrate {D6E22A01-...}.
        objects += object("DC29E2D6DA35D111903400A0C90349BE",
                          QByteArray::fromHex("012AE2D6DA35D111903400A0C90349BE") + u16(3) + u16(1) + u16(2) +
                              u16(3));
    }
    const QByteArray file = withHeaderObjects(readFile(made), objects);
    QFile::remove(made);
    const QString path = dir + QLatin1Char('/') + name;
    QFile out(path);
    if (file.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return {};
    return path;
}

QByteArray withHeaderObjects(const QByteArray &file, const QByteArray &objects)
{
    const quint64 headerSize = littleEndianAt<quint64>(file, 16);
    if (file.size() < 30 || headerSize < 30 || headerSize > quint64(file.size()))
        return {};
    quint32 added = 0;
    for (qsizetype at = 0; at + 24 <= objects.size(); ++added) {
        const quint64 size = littleEndianAt<quint64>(objects, at + 16);
        if (size < 24)
            return {};
        at += qsizetype(size);
    }
    QByteArray out = file.left(qsizetype(headerSize)) + objects + file.mid(qsizetype(headerSize));
    qToLittleEndian<quint64>(headerSize + quint64(objects.size()), out.data() + 16);
    qToLittleEndian<quint32>(littleEndianAt<quint32>(file, 24) + added, out.data() + 24);
    const qsizetype fileProperties = out.indexOf(QByteArray::fromHex("A1DCAB8C47"));
    if (fileProperties > 0 && fileProperties + 48 <= out.size())
        qToLittleEndian<quint64>(quint64(out.size()), out.data() + fileProperties + 40);
    return out;
}

QList<int> packetsPerStream(const QString &path)
{
    QByteArray out;
    const QStringList args = {
        "-v", "error", "-count_packets", "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", path};
    QProcess process;
    process.start(QStringLiteral("ffprobe"), args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QList<int> counts;
    for (const QByteArray &line : process.readAllStandardOutput().trimmed().split('\n'))
        counts.append(line.trimmed().toInt());
    return counts;
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

quint16 closedLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

} // namespace lumo::test
