// The receive worker's reading of MMS over HTTP: the answer to a Describe or a Play is a run
// of framed chunks ($H header pieces, $D data packets, $E end, $C change, $M and others that
// are skipped). Data packets go the same way to disk as over TCP.
#include "asf/headeranalysis.h"
#include "asf/headergeometry.h"
#include "mms/downloadtask.h"
#include "mms/httpframing.h"
#include "mms/logging.h"
#include "mms/message.h"
#include "mms/receiveworker.h"
#include "mms/taskhooks.h"
#include "shell/bytereader.h"
#include "shell/interaction.h"
#include "shell/tasklog.h"
#include <QCoreApplication>

namespace lumo {

namespace {

// Whether a new header after a stream change can go on into the same file: the same packet
// size and the same streams.
bool sameLayout(QByteArrayView saved, QByteArrayView next)
{
    const auto a = ReadHeaderGeometry(saved);
    const auto b = ReadHeaderGeometry(next);
    if (!a || !b || a->packetSize != b->packetSize)
        return false;
    const HeaderAnalysis x = AnalyseAsfHeaderBytes(saved, StreamType::Unknown, QString());
    const HeaderAnalysis y = AnalyseAsfHeaderBytes(next, StreamType::Unknown, QString());
    return x.ok && y.ok && x.StreamCount == y.StreamCount && x.StreamNumbers == y.StreamNumbers;
}

} // namespace

void ReceiveWorker::receiveFramed()
{
    for (;;) {
        if (!waitForBytes(mmsh::FramingSize))
            break;
        if (handleChunk() == Step::End)
            break;
    }
    if (m_connectionLost && !m_task.StopRequested())
        m_hooks.ConnectionLost();
}

ReceiveWorker::Step ReceiveWorker::handleChunk()
{
    char bytes[mmsh::FramingSize + mmsh::DataHeaderSize];
    m_task.RecvBuffer.peek(mmsh::FramingSize, bytes);
    const std::optional<mmsh::ChunkHead> chunk = mmsh::readChunkHead(bytes);
    if (!chunk || (chunk->carriesPacket() && chunk->length < mmsh::DataHeaderSize))
        return corruptStream();
    const qsizetype total = mmsh::FramingSize + chunk->length;
    switch (chunk->type) {
    case mmsh::ChunkHeader:
        return handleFramedHeader(total);
    case mmsh::ChunkData:
        if (!m_headerAnalysed && m_task.HeaderBuffer.isEmpty())
            return corruptStream(); // packets before any header cannot be placed
        if (!m_task.DataPacketSeen && m_task.ResumeMode == ResumeMode::Resume) {
            if (!waitForBytes(sizeof bytes))
                return Step::End;
            m_task.RecvBuffer.peek(sizeof bytes, bytes);
            if (resumeLandedAfterGap(mms::readMediaPrefix(bytes + mmsh::FramingSize).location))
                return Step::End;
        }
        return handleDataPackets(total);
    case mmsh::ChunkEnd:
        return handleStreamEnd(total);
    case mmsh::ChunkChange:
        if (!waitForBytes(total))
            return Step::End;
        m_task.RecvBuffer.remove(total);
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 服务器通知流已改变, 等待新的文件头..."));
        m_changePending = true;
        m_chunkHeader.clear();
        return Step::Continue;
    default:
        // Metadata and chunks this client does not know are passed over by their length.
        if (!waitForBytes(total))
            return Step::End;
        qCDebug(lcMms, "skipped chunk '%c', %lld bytes", char(chunk->type), qlonglong(total));
        m_task.RecvBuffer.remove(total);
        return Step::Continue;
    }
}

ReceiveWorker::Step ReceiveWorker::handleFramedHeader(qsizetype total)
{
    if (!waitForBytes(total))
        return Step::End;
    m_task.RecvBuffer.take(mmsh::FramingSize + mmsh::DataHeaderSize, total, m_unit);
    m_chunkHeader.append(m_unit);
    const std::optional<quint32> size = AnnouncedHeaderSize(m_chunkHeader);
    if (!size) {
        // Less than the Header Object's own fields, or not an ASF header at all.
        if (m_chunkHeader.size() < 30)
            return Step::Continue;
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 服务器发送的不是 ASF 文件头"));
        return corruptStream();
    }
    if (m_chunkHeader.size() < qsizetype(*size))
        return Step::Continue;
    const QByteArray header = m_chunkHeader.first(*size);
    m_chunkHeader.clear();
    // The Play answer repeats the header the Describe gave; after a change a new one comes.
    const bool known = m_task.HeaderSize > 0 && m_task.HeaderBuffer.size() == qsizetype(m_task.HeaderSize);
    if (!known)
        return headerCollected(header);
    if (header == m_task.HeaderBuffer && !m_changePending)
        return Step::Continue;
    return streamChanged(header);
}

ReceiveWorker::Step ReceiveWorker::headerCollected(QByteArrayView header)
{
    const std::optional<HeaderGeometry> geometry = ReadHeaderGeometry(header);
    if (!geometry) {
        m_log.append(
            QCoreApplication::translate("ReceiveWorker", "- 文件头中没有可用的数据包长度, 无法继续"));
        return corruptStream();
    }
    m_task.HeaderSize = geometry->headerSize;
    m_task.PacketSize = geometry->packetSize;
    m_task.BitRate = geometry->maxBitRate;
    if (geometry->broadcast)
        m_task.StreamType = StreamType::Live;
    m_task.PacketCount = m_task.StreamType == StreamType::Live ? 0 : geometry->packetCount;
    if (m_task.StreamType == StreamType::Live && m_task.ResumeMode == ResumeMode::Resume) {
        m_hooks.AbandonTask();
        m_person.showMessage(QCoreApplication::translate("ReceiveWorker",
                                                         "错误 - 实况流信息已被删除!   \n"
                                                         "实况流的下载不能够使用续传命令 \n请再试一次"));
        return Step::End;
    }
    m_log.append(QCoreApplication::translate("ReceiveWorker", "接收文件头信息..."));
    const bool resume = m_task.ResumeMode == ResumeMode::Resume;
    const auto state =
        m_writer.WriteHeaderPacket(m_task.SaveFile, m_task.HeaderBuffer, m_task.HeaderSize, resume, header);
    if (state != SaveFileWriter::HeaderState::Complete) {
        m_person.showMessage(m_writer.failureMessage());
        m_hooks.CloseTask();
        return Step::End;
    }
    m_log.append(
        resume ? QCoreApplication::translate("ReceiveWorker", "- 文件头信息已经收到但尚未保存, 正在继续操作")
               : QCoreApplication::translate("ReceiveWorker", "- 文件头信息已经收到并保存"));
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 正在展开文件头信息..."));
    if (!m_hooks.AnalyseHeader()) {
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 文件头信息展开失败, 无法继续"));
        m_hooks.CloseTask();
        return Step::End;
    }
    m_headerAnalysed = true;
    if (resume && m_task.StreamType == StreamType::Stored)
        limitResumeToFile();
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 数据展开已完成, 等待接收流媒体信息..."));
    // The Describe answer has done its work; the Play is a new request.
    m_hooks.StreamHeaderReady();
    return Step::End;
}

ReceiveWorker::Step ReceiveWorker::streamChanged(QByteArrayView header)
{
    m_changePending = false;
    if (!sameLayout(m_task.HeaderBuffer, header)) {
        m_log.append(QCoreApplication::translate(
            "ReceiveWorker", "- 新的文件头与已保存的不同 (流或数据包长度已改变), 录制结束"));
        m_hooks.CloseTask();
        m_person.showMessage(QCoreApplication::translate("ReceiveWorker",
                                                         "节目的流已经改变, 无法继续写入同一个文件\n"
                                                         "已经收到的内容已被保存"));
        return Step::End;
    }
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 新的文件头与已保存的相同, 继续录制"));
    // Locations start again at 0; the file goes on after the last packet.
    if (m_task.DataPacketSeen)
        m_indexBase = m_task.PacketIndex + 1;
    m_firstLocationSeen = false;
    m_timesContinue = m_firstTimeSeen;
    return Step::Continue;
}

ReceiveWorker::Step ReceiveWorker::handleStreamEnd(qsizetype total)
{
    if (!waitForBytes(total))
        return Step::End;
    m_task.RecvBuffer.peek(total, m_unit);
    const quint32 reason = ByteReader(m_unit).u32(mmsh::FramingSize).value_or(mmsh::EndOfStream);
    m_task.RecvBuffer.remove(total);
    if (reason == mmsh::EndOfEntry) {
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 服务器结束了当前的节目条目"));
        return Step::Continue; // a $C and a new header follow
    }
    if (reason != mmsh::EndOfStream)
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 服务器结束了流 (原因 0x%1)")
                         .arg(reason, 8, 16, QLatin1Char('0')));
    m_hooks.CompleteDownload();
    return Step::End;
}

bool ReceiveWorker::resumeLandedAfterGap(quint32 location)
{
    const quint32 asked = m_task.ResumePacket;
    if (location == asked)
        return false;
    if (location < asked) {
        // Packets the file already holds are written again in their places.
        m_log.append(
            QCoreApplication::translate("ReceiveWorker", "- 服务器从数据包 %1 开始发送 (请求的是 %2)")
                .arg(location)
                .arg(asked));
        return false;
    }
    m_log.append(QCoreApplication::translate("ReceiveWorker",
                                             "- 服务器从数据包 %1 开始发送, 而文件需要从 %2 继续, 无法续传")
                     .arg(location)
                     .arg(asked));
    m_hooks.CloseTask();
    m_person.showMessage(QCoreApplication::translate(
                             "ReceiveWorker", "服务器没有从文件缺少的位置开始发送 (数据包 %1, 需要 %2)\n"
                                              "为避免文件出错, 任务终止; 文件中已有的内容没有改变")
                             .arg(location)
                             .arg(asked));
    return true;
}

} // namespace lumo
