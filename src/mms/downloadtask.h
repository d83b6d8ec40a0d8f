#pragma once

#include "asf/savefilehandle.h"
#include "mms/receivebuffer.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>

namespace lumo {

// A 32-bit field that the worker writes while the event thread reads it for the display.
using SharedU32 = std::atomic<quint32>;

// The one record of the current task: receive buffer, collected header, the server's media
// description, counters, flags and the save file. ResetTask() gives every field its start value.
struct DownloadTask
{
    ReceiveBuffer RecvBuffer;
    QByteArray HeaderBuffer;
    QByteArray PadBytes;
    QString HostName;
    QString MediaPath;
    QByteArray AuthData;
    QString AuthRealm;

    SharedU32 PacketCount{0};
    SharedU32 PacketSize{0};
    SharedU32 HeaderSize{0};
    SharedU32 BitRate{0};
    SharedU32 ClientId{0};
    SharedU32 PingCount{0};
    SharedU32 PacketIndex{0};
    SharedU32 PacketTime{0};
    SharedU32 ResumePacket{0};
    SharedU32 StreamCount{0};
    std::array<quint8, 10> StreamNumbers{};
    SharedU32 SendSeq{0};
    SharedU32 Incarnation{1};
    SharedU32 TimingReplies{0};
    SharedU32 StreamType{0}; // 1 live broadcast, 2 seekable file, 0 not reported
    SharedU32 Transport{1};  // 1 TCP, 2 UDP; set by Start, not reset
    SharedU32 ResumeMode{0};
    SaveFileHandle SaveFile;
    std::atomic<int> LiveRepairDone{0};
    std::atomic<int> ResumeRecordDone{0};

    // Filled by the header analysis.
    SharedU32 SendDuration{0}; // milliseconds
    SharedU32 MaxBitRate{0};
    SharedU32 StreamKinds{0}; // 0x1 audio, 0x2 video, 0x4 audio spread
    SharedU32 AsfFileSize{0};
    // Set by the open-media flow for a local file; the finishing steps then leave it alone.
    SharedU32 LocalMedia{0};
    QString PreviewFile;

    // Whether a data packet arrived in this task (a completed download then states its count).
    std::atomic<bool> DataPacketSeen{false};

    bool StopRequested() const { return RecvBuffer.stopRequested(); }

    void ResetTask()
    {
        RecvBuffer.reset();
        HeaderBuffer.clear();
        PadBytes.clear();
        HostName.clear();
        MediaPath.clear();
        AuthData.clear();
        AuthRealm.clear();
        for (SharedU32 *f :
             {&PacketCount, &PacketSize, &HeaderSize, &BitRate, &ClientId, &PingCount, &PacketIndex,
              &PacketTime, &ResumePacket, &StreamCount, &SendSeq, &TimingReplies, &StreamType, &ResumeMode,
              &SendDuration, &MaxBitRate, &StreamKinds, &AsfFileSize, &LocalMedia})
            f->store(0);
        StreamNumbers.fill(0);
        Incarnation = 1;
        SaveFile.close();
        LiveRepairDone = 0;
        ResumeRecordDone = 0;
        PreviewFile.clear();
        DataPacketSeen = false;
    }
};

} // namespace lumo
