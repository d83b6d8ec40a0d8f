#pragma once

#include "asf/savefilehandle.h"
#include "asf/savefilewriter.h"
#include "asf/streamchoice.h"
#include "asf/streamtype.h"
#include "mms/receivebuffer.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>

namespace lumo {

// A 32-bit field that one thread writes while another reads it (mostly for the display).
using SharedU32 = std::atomic<quint32>;

enum class Transport : quint32
{
    Tcp = 1,
    Udp = 2,  // media packets over UDP, commands over TCP
    Http = 3, // MMS over HTTP: framed chunks in the answers to a Describe and a Play
};

enum class ResumeMode : quint32
{
    New = 0,    // the save file is written from its start
    Resume = 1, // the save file keeps its header; the download goes on from its resume record
};

// The one record of the current task: receive buffer, collected header, the server's media
// description, counters, flags and the save file. ResetTask() gives every field its start value.
//
// Who writes what: "event" is the event thread (Start, the socket, the controller), "worker"
// the receive worker. Fields written by one thread while another reads them are atomic.
struct DownloadTask
{
    ReceiveBuffer RecvBuffer; // its own lock: the event thread appends, the worker takes
    QByteArray HeaderBuffer;  // worker
    QString HostName;         // event, at Start
    QString MediaPath;        // event, at Start
    QByteArray AuthData;      // worker (the login answer)
    QString AuthRealm;        // worker

    // From the server's media description (worker).
    SharedU32 PacketCount{0};
    SharedU32 PacketSize{0};
    SharedU32 HeaderSize{0}; // also event, for a local file's analysis
    SharedU32 BitRate{0};
    std::atomic<lumo::StreamType> StreamType{lumo::StreamType::Unknown};
    // Worker.
    SharedU32 ClientId{0};
    SharedU32 PingCount{0};
    SharedU32 PacketIndex{0};
    SharedU32 PacketTime{0};
    SharedU32 ResumePacket{0};
    SharedU32 StreamCount{0};
    std::array<quint8, 10> StreamNumbers{};
    // Worker, with the header analysis: every stream of the header and whether it is asked
    // for. Read by the stream selection (worker) and by the Play request over HTTP (event
    // thread, once the worker that wrote it has ended). Empty: every entry of StreamNumbers.
    QList<StreamPick> StreamPicks;
    SharedU32 SendSeq{0}; // whoever sends a command: the event thread first, then the worker
    SharedU32 Incarnation{1};
    SharedU32 TimingReplies{0};
    SharedU32 FileId{0}; // worker: the server's id of the open file (named in resend requests)
    // Event thread, over UDP: what the worker subtracts from a location to place a packet (0 for
    // stored media), how many data packets are missing now, and the first of them (its index;
    // 0xFFFFFFFF when none). The place is written before the datagram is queued.
    SharedU32 UdpLocationBase{0};
    SharedU32 UdpMissing{0};
    SharedU32 UdpFirstMissing{0xFFFFFFFF};
    // Event, at Start: Transport is not reset; ResumeMode is set by the save-file choice.
    std::atomic<lumo::Transport> Transport{lumo::Transport::Tcp};
    std::atomic<lumo::ResumeMode> ResumeMode{lumo::ResumeMode::New};
    SaveFileHandle SaveFile; // its own lock; see SaveFileHandle
    // Whichever thread ends the task first (exchange() decides).
    std::atomic<bool> LiveRepairDone{false};
    std::atomic<bool> ResumeRecordDone{false};

    // Filled by the header analysis (worker, or event for a local file).
    SharedU32 SendDuration{0}; // milliseconds
    SharedU32 MaxBitRate{0};
    SharedU32 StreamKinds{0}; // 0x1 audio, 0x2 video, 0x4 audio spread
    SharedU32 AsfFileSize{0};
    // Event: set by the open-media flow for a local file; the finishing steps then leave it alone.
    std::atomic<bool> LocalMedia{false};
    QString PreviewFile; // event

    // Worker: whether a data packet arrived in this task (a completed download then states its count).
    std::atomic<bool> DataPacketSeen{false};
    // The server turned the task away: an error reply, an HTTP error status (any thread).
    std::atomic<bool> ServerRefused{false};

    bool StopRequested() const { return RecvBuffer.stopRequested(); }

    PacketGeometry geometry() const { return {HeaderSize.load(), PacketSize.load()}; }

    void ResetTask()
    {
        RecvBuffer.reset();
        HeaderBuffer.clear();
        HostName.clear();
        MediaPath.clear();
        AuthData.clear();
        AuthRealm.clear();
        for (SharedU32 *f :
             {&PacketCount, &PacketSize, &HeaderSize, &BitRate, &ClientId, &PingCount, &PacketIndex,
              &PacketTime, &ResumePacket, &StreamCount, &SendSeq, &TimingReplies, &FileId, &UdpLocationBase,
              &UdpMissing, &SendDuration, &MaxBitRate, &StreamKinds, &AsfFileSize})
            f->store(0);
        UdpFirstMissing = 0xFFFFFFFF;
        StreamType = lumo::StreamType::Unknown;
        ResumeMode = lumo::ResumeMode::New;
        LocalMedia = false;
        StreamNumbers.fill(0);
        StreamPicks.clear();
        Incarnation = 1;
        SaveFile.close();
        LiveRepairDone = false;
        ResumeRecordDone = false;
        PreviewFile.clear();
        DataPacketSeen = false;
        ServerRefused = false;
    }
};

} // namespace lumo
