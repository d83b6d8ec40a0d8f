#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include <sys/uio.h>

namespace lumo {

class CommandExchange;
class Interaction;
class SaveFileWriter;
class TaskHooks;
class TaskLog;
struct DownloadTask;

// The one worker thread of a connection: takes complete units from the front of RecvBuffer
// and hands them on: commands to the exchange, header packets to the header writer and the
// analysis, data packets to the time handling and the data writer. It ends at its first wait
// after the stop request, at a corrupt stream, or once a closed connection has been drained.
class ReceiveWorker
{
public:
    ReceiveWorker(DownloadTask &task, CommandExchange &exchange, SaveFileWriter &writer, TaskLog &log,
                  Interaction &person, TaskHooks &hooks);
    ~ReceiveWorker();
    ReceiveWorker(const ReceiveWorker &) = delete;
    ReceiveWorker &operator=(const ReceiveWorker &) = delete;

    // Starts the thread. RecvBuffer must have been emptied for the new connection.
    void start();
    bool running() const { return m_running; }
    // Joins a thread that has ended or is about to (call after running() turned false).
    void join();

private:
    enum class Step
    {
        Continue,
        End,
    };
    void run();
    Step handleCommand();
    Step handleHeaderPacket(quint16 length);
    Step handleDataPacket(quint32 location, quint16 length);
    // Writes the whole data packets at the front of RecvBuffer that lie one after another in
    // the file straight from the buffer, in one call; false when none could go this way.
    bool writeDataPackets(Step &step);
    quint32 packetIndex(quint32 location);
    Step corruptStream();
    bool waitForBytes(qsizetype count);
    // Ends the task after a data write failed; the resume record names the first lost packet.
    void dataWriteFailed();
    // Reads the packet's send time into PacketTime; rebases a live packet's times in place.
    void readPacketTimes(char *packet, qsizetype size);
    void limitResumeToFile();

    DownloadTask &m_task;
    CommandExchange &m_exchange;
    SaveFileWriter &m_writer;
    TaskLog &m_log;
    Interaction &m_person;
    TaskHooks &m_hooks;

    std::thread m_thread;
    std::atomic<bool> m_running{false};

    // This connection's own values.
    bool m_firstLocationSeen = false;
    quint32 m_firstLocation = 0;
    bool m_firstTimeSeen = false;
    quint32 m_firstTime = 0;
    bool m_headerAnalysed = false;
    bool m_connectionLost = false;
    bool m_flushFailed = false;
    // Writes the gathered packets while the stream has nothing for the worker.
    std::function<void()> m_flushWhileIdle;

    QByteArray m_unit; // reused for every unit taken from the buffer
    QByteArray m_packet;
    std::vector<iovec> m_pieces;
};

} // namespace lumo
