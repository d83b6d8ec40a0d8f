#pragma once

#include <functional>
#include <optional>
#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <utility>
#include <vector>

namespace servertest {

// MMS command ids, written down here apart from the server's own list, so that a wrong id there fails
// these tests instead of agreeing with them.
namespace toServer {
constexpr quint16 connect = 0x01;
constexpr quint16 connectFunnel = 0x02;
constexpr quint16 openFile = 0x05;
constexpr quint16 startPlaying = 0x07;
constexpr quint16 stopPlaying = 0x09;
constexpr quint16 closeFile = 0x0D;
constexpr quint16 readBlock = 0x15;
constexpr quint16 funnelInfo = 0x18;
constexpr quint16 securityResponse = 0x1A;
constexpr quint16 pong = 0x1B;
constexpr quint16 streamSwitch = 0x33;
} // namespace toServer

namespace fromServer {
constexpr quint16 connectedEx = 0x01;
constexpr quint16 connectedFunnel = 0x02;
constexpr quint16 disconnectedFunnel = 0x03;
constexpr quint16 startedPlaying = 0x05;
constexpr quint16 openFile = 0x06;
constexpr quint16 readBlock = 0x11;
constexpr quint16 funnelInfo = 0x15;
constexpr quint16 securityChallenge = 0x1A;
constexpr quint16 ping = 0x1B;
constexpr quint16 endOfStream = 0x1E;
constexpr quint16 streamSwitch = 0x21;
} // namespace fromServer

constexpr quint32 sessionSignature = 0xB00BFACE;
// AFFlags of header packets.
constexpr quint8 headerPieceFlag = 0x04;
constexpr quint8 lastHeaderPieceFlag = 0x0C;

quint32 u32(const QByteArray &b, qsizetype at);
quint16 u16(const QByteArray &b, qsizetype at);
quint64 u64(const QByteArray &b, qsizetype at);
double f64(const QByteArray &b, qsizetype at);
QByteArray utf16z(const QString &text);

// The pieces of an ASF file the tests compare against, read independently of the server's reader.
struct AsfFile
{
    QByteArray bytes;
    qsizetype headerSize = 0; // Header Object + 50
    quint32 packetSize = 0;
    quint64 packetCount = 0;
    qsizetype filePropertiesAt = 0;

    static AsfFile load(const QString &path);
    QByteArray header() const { return bytes.left(headerSize); }
    QByteArray packet(quint64 i) const
    {
        return bytes.mid(headerSize + qsizetype(i * packetSize), packetSize);
    }
};

// Send time (ms) of an ASF data packet, read from its error-correction and length-type fields.
quint32 packetSendTime(const QByteArray &packet);

// Test media made with ffmpeg once per run.
struct Media
{
    static const QString &dir();
    static const QString &sample(); // 3 s of wmv2 video and wmav2 audio
    // 4 s of the same picture as wmv2 at three bit rates (streams 1-3, rising) and wmav2 audio (stream 4)
    static const QString &threeRates();
};

// Runs an external program to the end within a bound.
struct RunResult
{
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};
RunResult run(const QString &program, const QStringList &args, int timeoutMs = 120000);

class ServerProcess
{
public:
    ~ServerProcess();
    // Starts lumo-mms-server on a free port with `args`; false if it does not report its port in time.
    bool start(const QStringList &args);
    quint16 port() const { return m_port; }
    // Stops it with SIGTERM and returns everything it logged.
    QString stop();
    int exitCode() const { return m_process.exitCode(); }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_log;
};

// One unit from the server: a command message or a media packet.
struct Unit
{
    bool command = false;
    quint16 id = 0;   // command id
    QByteArray bytes; // the whole unit
    // Media packet fields
    quint32 location() const { return u32(bytes, 0); }
    quint8 kind() const { return quint8(bytes.at(4)); }
    quint8 flags() const { return quint8(bytes.at(5)); }
    QByteArray payload() const { return bytes.mid(8); }
    quint32 hr() const { return u32(bytes, 40); }
};

// A minimal scripted MMS client with blocking, bounded waits.
class ScriptedClient
{
public:
    explicit ScriptedClient(int timeoutMs = 20000) : m_timeoutMs(timeoutMs) {}
    bool connectTo(quint16 port);
    void sendRaw(const QByteArray &bytes);
    void send(quint16 id, const QByteArray &body);
    // The next unit; pings are answered and skipped when autoPong is on.
    std::optional<Unit> next();
    std::optional<Unit> expect(quint16 id);
    bool waitClosed();
    QTcpSocket &socket() { return m_socket; }
    // Bytes already read from the socket but not yet returned as units.
    QByteArray takeBuffered() { return std::exchange(m_buffer, {}); }
    bool autoPong = true;
    int pingsSeen = 0;
    std::function<void()> whileWaiting; // e.g. drain a UDP socket

    // Client commands, laid out as real clients send them.
    void connect(quint32 pi);
    void funnelInfo(quint32 pi);
    void connectFunnel(const QString &text);
    void openFile(const QString &path, quint32 pi = 1);
    void readBlock(quint32 pi = 2);
    void streamSwitch();
    // 0x33 with these {stream, action} entries.
    void streamSwitch(const QList<std::pair<quint16, quint16>> &entries);
    void startPlaying(quint32 location, quint32 pi = 4, quint32 asfOffset = 0xFFFFFFFF, double position = 0);
    void stopPlaying(quint32 pi);
    void pong();
    void closeFile();
    void securityResponse(const QByteArray &token, quint32 declaredLength);

    // Connect, FunnelInfo, ConnectFunnel and OpenFile with plain values; returns the OpenFile reply.
    std::optional<Unit> open(const QString &path);
    // ReadBlock and the header pieces; checks their flags and returns the header bytes.
    std::optional<QByteArray> readHeader(int *pieces = nullptr);
    // Data packets until the next command, normally EndOfStream; returns them (the command in *end).
    std::vector<Unit> readData(std::optional<Unit> *end = nullptr);

private:
    bool fill(qsizetype bytes);
    QTcpSocket m_socket;
    QByteArray m_buffer;
    quint16 m_seq = 0;
    int m_timeoutMs;
};

} // namespace servertest
