#pragma once

#include <QByteArray>

#include <atomic>

namespace lumo {

class Interaction;
class Settings;
class TaskHooks;
class TaskLog;
class TcpConnection;
struct DownloadTask;

// What a task fixes at Start from the settings in force.
struct ExchangeOptions
{
    bool sendHost = false;    // the host goes into the connect command
    bool udp = false;         // media packets over UDP
    quint16 udpLocalPort = 0; // the bound UDP port named in the transport command
};

// The MMS command dialogue: one send operation per client command, and the dispatcher that
// handles each server command by its id alone. The client keeps no protocol state of its own:
// the reply a server command triggers moves the exchange on.
class CommandExchange
{
public:
    CommandExchange(DownloadTask &task, TcpConnection &tcp, TaskLog &log, Interaction &person,
                    Settings &settings, TaskHooks &hooks);

    void setOptions(const ExchangeOptions &options) { m_options = options; }

    // Handles one complete command message. False only for an id it does not know.
    bool DispatchCommand(const QByteArray &message);

    void sendConnect();
    void sendTiming();
    void sendTransport();
    void sendOpenFile();
    void sendHeaderRequest();
    void sendCancelHeaderRequest();
    void sendStreamSelect();
    void sendStartPlaying(quint32 startPacket);
    void sendLogin(const QByteArray &authData);
    void sendPong();

private:
    void send(const QByteArray &message);
    // Reads the u32 at `offset` into `field`; one past the end is shown to the person.
    void readField(const QByteArray &message, qsizetype offset, std::atomic<quint32> &field);
    void readMediaDescription(const QByteArray &message);
    void handleLoginRequest(const QByteArray &message);

    DownloadTask &m_task;
    TcpConnection &m_tcp;
    TaskLog &m_log;
    Interaction &m_person;
    Settings &m_settings;
    TaskHooks &m_hooks;
    ExchangeOptions m_options;
};

} // namespace lumo
