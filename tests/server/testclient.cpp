#include "testclient.h"

#include <cstring>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QtEndian>

namespace servertest {

quint32 u32(const QByteArray &b, qsizetype at)
{
    return at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0xDEADBEEF;
}
quint16 u16(const QByteArray &b, qsizetype at)
{
    return at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0xDEAD;
}
quint64 u64(const QByteArray &b, qsizetype at)
{
    return at + 8 <= b.size() ? qFromLittleEndian<quint64>(b.constData() + at) : ~quint64(0);
}
double f64(const QByteArray &b, qsizetype at)
{
    const quint64 bits = u64(b, at);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

QByteArray utf16z(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    out.append(2, '\0');
    return out;
}

namespace {
QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le64(quint64 v)
{
    QByteArray b(8, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray dbl(double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return le64(bits);
}
} // namespace

AsfFile AsfFile::load(const QString &path)
{
    AsfFile f;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return f;
    f.bytes = file.readAll();
    const quint64 h = u64(f.bytes, 16);
    const quint32 objects = u32(f.bytes, 24);
    qsizetype at = 30;
    static const QByteArray fileProperties = QByteArray::fromHex("a1dcab8c47a9cf118ee400c00c205365");
    for (quint32 i = 0; i < objects && at + 24 <= qsizetype(h); ++i) {
        if (f.bytes.mid(at, 16) == fileProperties)
            f.filePropertiesAt = at;
        at += qsizetype(u64(f.bytes, at + 16));
    }
    f.headerSize = qsizetype(h) + 50;
    f.packetSize = u32(f.bytes, f.filePropertiesAt + 96);
    f.packetCount = u64(f.bytes, qsizetype(h) + 40);
    return f;
}

quint32 packetSendTime(const QByteArray &p)
{
    static const int widths[4] = {0, 1, 2, 4};
    qsizetype at = 0;
    const quint8 first = quint8(p.at(0));
    if (first & 0x80)
        at = 1 + (first & 0x0F);
    const quint8 lengthFlags = quint8(p.at(at));
    at +=
        2 + widths[(lengthFlags >> 5) & 3] + widths[(lengthFlags >> 1) & 3] + widths[(lengthFlags >> 3) & 3];
    return u32(p, at);
}

RunResult run(const QString &program, const QStringList &args, int timeoutMs)
{
    RunResult r;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

const QString &Media::dir()
{
    static QTemporaryDir temporary;
    static const QString path = temporary.path();
    return path;
}

const QString &Media::sample()
{
    static const QString path = [] {
        const QString out = dir() + QStringLiteral("/sample.asf");
        run(QStringLiteral("ffmpeg"), {"-v",
                                       "error",
                                       "-y",
                                       "-f",
                                       "lavfi",
                                       "-i",
                                       "testsrc=size=320x240:rate=25",
                                       "-f",
                                       "lavfi",
                                       "-i",
                                       "sine=frequency=440",
                                       "-t",
                                       "3",
                                       "-c:v",
                                       "wmv2",
                                       "-c:a",
                                       "wmav2",
                                       "-f",
                                       "asf",
                                       out});
        return out;
    }();
    return path;
}

const QString &Media::threeRates()
{
    // testsrc2 is busy enough for the encoder to reach three different rates.
    static const QString path = [] {
        const QString out = dir() + QStringLiteral("/three-rates.asf");
        const QString args = QStringLiteral(
            "-v error -y -f lavfi -i testsrc2=size=160x120:rate=15:duration=4 -f lavfi -i sine=duration=4 "
            "-map 0:v -map 0:v -map 0:v -map 1:a -c:v wmv2 -b:v:0 100k -b:v:1 300k -b:v:2 600k "
            "-c:a wmav2 -b:a 32k -f asf");
        run(QStringLiteral("ffmpeg"), args.split(QLatin1Char(' ')) << out);
        return out;
    }();
    return path;
}

ServerProcess::~ServerProcess()
{
    stop();
}

bool ServerProcess::start(const QStringList &args)
{
    m_log.clear();
    m_process.start(QStringLiteral(LUMO_MMS_SERVER_BIN), args + QStringList{"--listen", "127.0.0.1:0"});
    if (!m_process.waitForStarted(10000))
        return false;
    const QDeadlineTimer deadline(15000);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    const QString prefix = QStringLiteral("lumo-mms-server listening on 127.0.0.1:");
    if (!line.startsWith(prefix))
        return false;
    m_port = quint16(line.mid(prefix.size()).toUInt());
    m_process.setReadChannel(QProcess::StandardError);
    return m_port != 0;
}

QString ServerProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        m_log += QString::fromUtf8(m_process.readAllStandardError());
    }
    return m_log;
}

bool ScriptedClient::connectTo(quint16 port)
{
    m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    return m_socket.waitForConnected(m_timeoutMs);
}

void ScriptedClient::sendRaw(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.waitForBytesWritten(m_timeoutMs);
}

void ScriptedClient::send(quint16 id, const QByteArray &body)
{
    const qsizetype total = (40 + body.size() + 7) / 8 * 8;
    QByteArray m;
    m += QByteArray::fromHex("01000000cefa0bb0") + le32(quint32(total - 16)) + QByteArray("MMS ");
    m += le32(quint32((total - 16) / 8)) + le16(m_seq++) + le16(0) + le64(0);
    m += le32(quint32((total - 32) / 8)) + le16(id) + le16(3) + body;
    m.append(total - m.size(), '\0');
    sendRaw(m);
}

bool ScriptedClient::fill(qsizetype bytes)
{
    const QDeadlineTimer deadline(m_timeoutMs);
    while (m_buffer.size() < bytes) {
        if (m_socket.bytesAvailable() > 0) {
            m_buffer.append(m_socket.readAll());
            continue;
        }
        if (deadline.hasExpired() || m_socket.state() != QAbstractSocket::ConnectedState)
            return false;
        const int slice = whileWaiting ? 5 : int(deadline.remainingTime());
        m_socket.waitForReadyRead(std::max(1, std::min(slice, int(deadline.remainingTime()))));
        if (whileWaiting)
            whileWaiting();
    }
    return true;
}

std::optional<Unit> ScriptedClient::next()
{
    for (;;) {
        if (!fill(8))
            return std::nullopt;
        Unit unit;
        qsizetype length;
        if (u32(m_buffer, 4) == sessionSignature) {
            if (!fill(16))
                return std::nullopt;
            length = qsizetype(u32(m_buffer, 8)) + 16;
            unit.command = true;
        } else {
            length = u16(m_buffer, 6);
        }
        if (length < 8 || !fill(length))
            return std::nullopt;
        unit.bytes = m_buffer.left(length);
        m_buffer.remove(0, length);
        if (unit.command)
            unit.id = u16(unit.bytes, 36);
        if (unit.command && unit.id == fromServer::ping) {
            ++pingsSeen;
            if (autoPong) {
                pong();
                continue;
            }
        }
        return unit;
    }
}

std::optional<Unit> ScriptedClient::expect(quint16 id)
{
    auto unit = next();
    if (!unit || !unit->command || unit->id != id)
        return std::nullopt;
    return unit;
}

bool ScriptedClient::waitClosed()
{
    const QDeadlineTimer deadline(m_timeoutMs);
    while (m_socket.state() != QAbstractSocket::UnconnectedState) {
        if (deadline.hasExpired())
            return false;
        m_socket.readAll();
        m_socket.waitForDisconnected(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    return true;
}

void ScriptedClient::connect(quint32 pi)
{
    send(toServer::connect,
         le32(pi) + le32(0x0004000B) + le32(0x0003001C) +
             utf16z(QStringLiteral("NSPlayer/9.0.0.2980; {3300AD50-2C39-46c0-AE0A-39A2F2B6C4C2}; "
                                   "Host: 127.0.0.1")));
}

void ScriptedClient::funnelInfo(quint32 pi)
{
    send(toServer::funnelInfo, le32(pi) + le32(0x0004000B));
}

void ScriptedClient::connectFunnel(const QString &text)
{
    send(toServer::connectFunnel,
         le32(0) + le32(0x00FFFFFF) + le32(0x00FFFFFF) + le32(0x00989680) + le32(2) + utf16z(text));
}

void ScriptedClient::openFile(const QString &path, quint32 pi)
{
    send(toServer::openFile, le32(pi) + le32(0xFFFFFFFF) + le32(0) + le32(0) + utf16z(path));
}

void ScriptedClient::readBlock(quint32 pi)
{
    send(toServer::readBlock, le32(1) + le32(0) + le32(0) + le32(0x8000) + le32(0xFFFFFFFF) + le32(0) +
                                  dbl(0) + dbl(3600) + le32(pi) + le32(0));
}

void ScriptedClient::streamSwitch()
{
    streamSwitch({{1, 0}, {2, 0}});
}

void ScriptedClient::streamSwitch(const QList<std::pair<quint16, quint16>> &entries)
{
    QByteArray body = le32(quint32(entries.size()));
    for (const auto &[stream, action] : entries)
        body += le16(0xFFFF) + le16(stream) + le16(action);
    send(toServer::streamSwitch, body);
}

void ScriptedClient::startPlaying(quint32 location, quint32 pi, quint32 asfOffset, double position)
{
    send(toServer::startPlaying, le32(1) + le32(0x0001FFFF) + dbl(position) + le32(asfOffset) +
                                     le32(location) + le32(0x00FFFFFF) + le32(pi));
}

void ScriptedClient::stopPlaying(quint32 pi)
{
    send(toServer::stopPlaying, le32(1) + le32(pi));
}

void ScriptedClient::pong()
{
    send(toServer::pong, le32(1) + le32(0x0100FFFF));
}

void ScriptedClient::closeFile()
{
    send(toServer::closeFile, le32(1) + le32(1));
}

void ScriptedClient::securityResponse(const QByteArray &token, quint32 declaredLength)
{
    send(toServer::securityResponse, le32(1) + le32(1) + le32(declaredLength) + token);
}

std::optional<Unit> ScriptedClient::open(const QString &path)
{
    connect(0xF0F0F0EF);
    if (!expect(fromServer::connectedEx))
        return std::nullopt;
    funnelInfo(0xF0F0F0EF);
    if (!expect(fromServer::funnelInfo))
        return std::nullopt;
    connectFunnel(QStringLiteral("\\\\127.0.0.1\\TCP\\1037"));
    if (!expect(fromServer::connectedFunnel))
        return std::nullopt;
    openFile(path);
    return expect(fromServer::openFile);
}

std::optional<QByteArray> ScriptedClient::readHeader(int *pieces)
{
    const quint32 pi = 2; // header packets carry it back in byte 4
    readBlock(pi);
    if (!expect(fromServer::readBlock))
        return std::nullopt;
    QByteArray header;
    for (quint32 index = 0;; ++index) {
        const auto unit = next();
        if (!unit || unit->command || unit->kind() != pi || unit->location() != index)
            return std::nullopt;
        header += unit->payload();
        if (unit->flags() == lastHeaderPieceFlag) {
            if (pieces)
                *pieces = int(index + 1);
            return header;
        }
        if (unit->flags() != headerPieceFlag)
            return std::nullopt;
    }
}

std::vector<Unit> ScriptedClient::readData(std::optional<Unit> *end)
{
    std::vector<Unit> packets;
    while (auto unit = next()) {
        if (unit->command) {
            if (end)
                *end = unit;
            break;
        }
        packets.push_back(std::move(*unit));
    }
    return packets;
}

} // namespace servertest
