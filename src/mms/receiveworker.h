#pragma once

#include "asf/savefilewriter.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lumo {

class CommandExchange;
class Interaction;
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
    // How long the destructor waits for the thread before it gives up on the process.
    static constexpr int DestroyTimeoutMs = 30000;

    ReceiveWorker(DownloadTask &task, CommandExchange &exchange, SaveFileWriter &writer, TaskLog &log,
                  Interaction &person, TaskHooks &hooks);
    ~ReceiveWorker();
    ReceiveWorker(const ReceiveWorker &) = delete;
    ReceiveWorker &operator=(const ReceiveWorker &) = delete;

    // Starts the thread. RecvBuffer must have been emptied for the new connection.
    void start();
    bool running() const { return m_running; }
    // Joins a thread that has ended or ends within `timeoutMs`; false when it did not (the
    // thread is then left running and joined later).
    bool join(int timeoutMs);

private:
    enum class Step
    {
        Continue,
        End,
    };
    void run();
    void receive();
    // MMS over HTTP: the framed chunks of one answer (framedreceive.cpp).
    void receiveFramed();
    Step handleChunk();
    Step handleFramedHeader(qsizetype total);
    Step headerCollected(QByteArrayView header);
    Step streamChanged(QByteArrayView header);
    Step handleStreamEnd(qsizetype total);
    // Over HTTP a resumed download checks where the server started.
    bool resumeLandedAfterGap(quint32 location);
    Step handleCommand();
    Step handleHeaderPacket(quint16 length);
    Step handleDataPackets(qsizetype length);
    // One data packet that lies whole at `at` in the buffer.
    struct BufferedPacket
    {
        quint32 location = 0;
        char *payload = nullptr;
        qsizetype payloadSize = 0;
        qsizetype unitSize = 0; // with its prefix (and framing)
    };
    std::optional<BufferedPacket> bufferedPacket(char *at, qsizetype available) const;
    // Over TCP and HTTP: the whole data packets at the front of RecvBuffer, written from where they lie.
    SaveFileWriter::DataState writeBufferedPackets();
    // Over UDP: the packet is copied out first, so the event thread's appends never wait for
    // the disk.
    SaveFileWriter::DataState writeCopiedPacket(quint16 length);
    quint32 packetIndex(quint32 location);
    // Over UDP: no data packet is missing (nor, for a stored programme, any at its end).
    bool udpStreamWhole() const;
    // The end of media held back for lost packets is handled now.
    void finishPendingEnd();
    // The header did not come whole in time over UDP: ask again, or give up.
    Step headerTimedOut();
    void startHeaderClock();
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
    std::mutex m_endMutex;
    std::condition_variable m_ended;
    bool m_threadEnded = true; // under m_endMutex

    // This connection's own values.
    bool m_firstLocationSeen = false;
    quint32 m_firstLocation = 0;
    bool m_firstTimeSeen = false;
    quint32 m_firstTime = 0;
    bool m_headerAnalysed = false;
    bool m_connectionLost = false;
    // Over UDP a lost header piece is not sent again: the header is asked for again instead.
    std::optional<std::chrono::steady_clock::time_point> m_headerDeadline;
    int m_headerTries = 0;
    bool m_endPending = false; // the end of media waits for resent packets until m_settleDeadline
    std::chrono::steady_clock::time_point m_settleDeadline;
    QByteArray m_endCommand;
    // Over HTTP: the header being collected from $H chunks, whether it follows a stream change,
    // what a change adds to locations that start again at 0, and whether times go on from the
    // last one.
    QByteArray m_chunkHeader;
    bool m_changePending = false;
    quint32 m_indexBase = 0;
    bool m_timesContinue = false;

    QByteArray m_unit; // reused for every unit taken from the buffer
    std::vector<DataPacket> m_packets;
};

} // namespace lumo
