#include "mms/receiveworker.h"

#include "asf/packettimes.h"
#include "mms/commandexchange.h"
#include "mms/downloadtask.h"
#include "mms/httpframing.h"
#include "mms/logging.h"
#include "mms/message.h"
#include "mms/servererrors.h"
#include "mms/taskhooks.h"
#include "shell/bytereader.h"
#include "shell/interaction.h"
#include "shell/tasklog.h"

#include <QCoreApplication>

namespace lumo {

// Lock order: the save file's lock, then RecvBuffer's. The worker holds the file while it
// pins and takes buffered packets; nothing takes the file's lock while holding the buffer's,
// and nobody holding the file waits for the event thread.

namespace {
constexpr qsizetype DumpLength = 64;

// Packets written in one call at most (about what one socket read brings).
constexpr qint64 BatchBytes = 2 * 1024 * 1024;
// Over UDP: how long the header may take beyond its transfer time, and how often it is asked for.
constexpr std::chrono::milliseconds HeaderWait{1000};
constexpr qint64 MaxHeaderTransferMs = 10000;
constexpr int HeaderTries = 5;
// How long the end of a UDP stream waits for lost packets to be sent again.
constexpr std::chrono::milliseconds SettleTime{2500};
// A live stream's packets are written once this much is buffered, or this long after the first.
constexpr qsizetype LiveBatchBytes = 64 * 1024;
constexpr std::chrono::milliseconds LiveBatchWait{250};
} // namespace

ReceiveWorker::ReceiveWorker(DownloadTask &task, CommandExchange &exchange, SaveFileWriter &writer,
                             TaskLog &log, Interaction &person, TaskHooks &hooks)
    : m_task(task), m_exchange(exchange), m_writer(writer), m_log(log), m_person(person), m_hooks(hooks)
{}

ReceiveWorker::~ReceiveWorker()
{
    if (!m_thread.joinable())
        return;
    m_task.RecvBuffer.requestStop();
    // The owner has waited with its event loop running; a worker still here is stuck, and
    // going on would leave it working on freed memory.
    if (!join(DestroyTimeoutMs))
        qFatal("receive worker did not end within %d ms", DestroyTimeoutMs);
}

void ReceiveWorker::start()
{
    m_firstLocationSeen = m_firstTimeSeen = m_headerAnalysed = m_connectionLost = m_endPending = false;
    m_chunkHeader.clear();
    m_changePending = m_timesContinue = false;
    m_indexBase = 0;
    m_headerDeadline.reset();
    m_headerTries = 0;
    m_firstLocation = m_firstTime = 0;
    {
        std::lock_guard lock(m_endMutex);
        m_threadEnded = false;
    }
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

bool ReceiveWorker::join(int timeoutMs)
{
    if (!m_thread.joinable())
        return true;
    {
        std::unique_lock lock(m_endMutex);
        if (!m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_threadEnded; }))
            return false;
    }
    m_thread.join();
    return true;
}

bool ReceiveWorker::waitForBytes(qsizetype count)
{
    switch (m_task.RecvBuffer.waitFor(count)) {
    case ReceiveBuffer::WaitResult::Ready:
        return true;
    case ReceiveBuffer::WaitResult::Stop:
    case ReceiveBuffer::WaitResult::TimedOut: // never: no deadline here
        return false;
    case ReceiveBuffer::WaitResult::Closed:
        m_connectionLost = true;
        return false;
    }
    return false;
}

void ReceiveWorker::run()
{
    // An exception must not end the process from this thread: the task ends with a message,
    // as an exception on the event thread does.
    try {
        receive();
    } catch (const std::exception &e) {
        qCWarning(lcMms) << "exception on the receive worker:" << e.what();
        m_hooks.OnException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        qCWarning(lcMms) << "unknown exception on the receive worker";
        m_hooks.OnException(QCoreApplication::translate("ReceiveWorker", "unknown exception"));
    }
    qCDebug(lcMms) << "receive worker ends; connection lost:" << m_connectionLost
                   << "stop:" << m_task.StopRequested();
    m_running = false;
    m_hooks.WorkerFinished();
    {
        std::lock_guard lock(m_endMutex);
        m_threadEnded = true;
    }
    m_ended.notify_all();
}

void ReceiveWorker::receive()
{
    if (m_task.Transport == Transport::Http) {
        receiveFramed();
        return;
    }
    char prefix[mms::MediaPrefixSize];
    for (;;) {
        if (m_endPending) {
            const bool drained = m_task.RecvBuffer.size() == 0;
            if (udpStreamWhole() && drained) {
                finishPendingEnd();
                continue;
            }
            const auto waited = m_task.RecvBuffer.waitFor(mms::MediaPrefixSize, m_settleDeadline);
            if (waited == ReceiveBuffer::WaitResult::Stop)
                break;
            if (waited != ReceiveBuffer::WaitResult::Ready) {
                // Out of time, or the server has gone: what is still missing stays missing.
                if (udpStreamWhole() && m_task.RecvBuffer.size() == 0) {
                    finishPendingEnd();
                    continue;
                }
                if (waited == ReceiveBuffer::WaitResult::TimedOut ||
                    m_task.RecvBuffer.size() < mms::MediaPrefixSize) {
                    m_endPending = false;
                    m_hooks.EndIncomplete(qMax<quint32>(m_task.UdpMissing, 1));
                    break;
                }
            }
        }
        if (m_headerDeadline) {
            const auto waited = m_task.RecvBuffer.waitFor(mms::MediaPrefixSize, m_headerDeadline);
            if (waited == ReceiveBuffer::WaitResult::TimedOut) {
                if (headerTimedOut() == Step::End)
                    break;
                continue;
            }
        }
        if (!waitForBytes(mms::MediaPrefixSize))
            break;
        m_task.RecvBuffer.peek(mms::MediaPrefixSize, prefix);
        const mms::MediaPrefix media = mms::readMediaPrefix(prefix);
        Step step = Step::Continue;
        if (mms::isCommand(prefix))
            step = handleCommand();
        else if (media.length < mms::MediaPrefixSize)
            step = corruptStream(); // a length that cannot hold its own prefix
        else if (media.kind == mms::KindHeader)
            step = handleHeaderPacket(media.length);
        else if (media.kind == mms::KindData)
            step = handleDataPackets(media.length);
        else
            step = corruptStream();
        if (step == Step::End)
            break;
    }
    // Everything the server sent before it closed has been handled; now the task ends.
    if (m_connectionLost && !m_task.StopRequested())
        m_hooks.ConnectionLost();
}

ReceiveWorker::Step ReceiveWorker::handleCommand()
{
    if (!waitForBytes(mms::MinCommandSize))
        return Step::End;
    m_task.RecvBuffer.peek(mms::MinCommandSize, m_unit);
    const ByteReader head(m_unit);
    const quint32 length = head.u32(mms::LengthOffset).value_or(0) + 16u;
    if (length < mms::MinCommandSize) // cannot be a command; the stream is out of step
        return corruptStream();
    // A command longer than the TCP read ever buffers would wait for ever: the read pauses at
    // that size until the worker makes room, which it cannot do before the command is whole.
    if (length > quint32(ReceiveBuffer::TcpLimit))
        return corruptStream();
    if (!waitForBytes(qsizetype(length)))
        return Step::End;
    m_task.RecvBuffer.peek(qsizetype(length), m_unit);
    const ByteReader command(m_unit);
    const auto id = mms::ServerCommand(command.u8(mms::CommandIdOffset).value_or(0));
    const quint32 result = command.u32(mms::ResultOffset).value_or(0);
    if (id == mms::ServerCommand::MediaDescription &&
        command.u32(mms::HeaderSizeOffset).value_or(0) > SaveFileWriter::LargestHeaderSize) {
        m_log.append(
            QCoreApplication::translate("ReceiveWorker", "服务器声明的文件头长度 %1 字节超过上限 %2 字节")
                .arg(command.u32(mms::HeaderSizeOffset).value_or(0))
                .arg(SaveFileWriter::LargestHeaderSize));
        return corruptStream();
    }

    if (result >= 0x80000000u && id != mms::ServerCommand::Ping) {
        m_task.ServerRefused = true;
        m_hooks.CloseTask();
        const ServerErrorReport report = ServerErrorText(result);
        for (const QString &line : report.logLines)
            m_log.append(line);
        m_person.showMessage(report.messageBox);
        m_task.RecvBuffer.remove(qsizetype(length));
        return Step::End;
    }
    if (id == mms::ServerCommand::EndOfMedia && m_task.Transport == Transport::Udp && !udpStreamWhole()) {
        // Lost datagrams are being asked for again: the end waits for them, a bounded time.
        if (m_task.StreamType == StreamType::Stored && m_task.PacketCount > 0)
            m_hooks.ExpectPacketsUpTo(m_task.PacketCount - 1); // the last ones may be lost too
        m_endPending = true;
        m_endCommand = m_unit;
        m_settleDeadline = std::chrono::steady_clock::now() + SettleTime;
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 等待重发丢失的 UDP 数据包..."));
        m_task.RecvBuffer.remove(qsizetype(length));
        return Step::Continue;
    }
    if (!m_exchange.DispatchCommand(m_unit))
        m_hooks.CloseTask();
    m_task.RecvBuffer.remove(qsizetype(length));
    if (id == mms::ServerCommand::MediaDescription && m_task.Transport == Transport::Udp &&
        !m_headerAnalysed && !m_task.StopRequested()) {
        m_headerTries = 1;
        startHeaderClock();
    }
    return Step::Continue;
}

ReceiveWorker::Step ReceiveWorker::handleHeaderPacket(quint16 length)
{
    if (!waitForBytes(length))
        return Step::End;
    m_task.RecvBuffer.take(mms::MediaPrefixSize, length, m_unit);
    const bool resume = m_task.ResumeMode == ResumeMode::Resume;
    const auto state =
        m_writer.WriteHeaderPacket(m_task.SaveFile, m_task.HeaderBuffer, m_task.HeaderSize, resume, m_unit);
    if (state == SaveFileWriter::HeaderState::Failed) {
        m_person.showMessage(m_writer.failureMessage());
        m_hooks.CloseTask();
        return Step::Continue;
    }
    if (state == SaveFileWriter::HeaderState::Complete)
        m_headerDeadline.reset();
    if (state == SaveFileWriter::HeaderState::Complete && !m_headerAnalysed) {
        m_log.append(resume ? QCoreApplication::translate("ReceiveWorker",
                                                          "- 文件头信息已经收到但尚未保存, 正在继续操作")
                            : QCoreApplication::translate("ReceiveWorker", "- 文件头信息已经收到并保存"));
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 正在展开文件头信息..."));
        if (m_hooks.AnalyseHeader()) {
            m_headerAnalysed = true;
            if (resume && m_task.StreamType == StreamType::Stored)
                limitResumeToFile();
            m_log.append(
                QCoreApplication::translate("ReceiveWorker", "- 数据展开已完成, 等待接收流媒体信息..."));
            m_exchange.sendStreamSelect();
        } else {
            m_log.append(QCoreApplication::translate("ReceiveWorker", "- 文件头信息展开失败, 无法继续"));
            m_hooks.CloseTask();
        }
    }
    return Step::Continue;
}

ReceiveWorker::Step ReceiveWorker::handleDataPackets(qsizetype length)
{
    // A larger announced size would pad every packet to it (up to 4 GiB each).
    if (m_task.PacketSize > SaveFileWriter::LargestPacketSize)
        return corruptStream();
    // PacketIndex and DataPacketSeen move only with a whole packet, under the file's lock: a
    // task that ends while a packet is half here counts only what is on disk.
    if (!waitForBytes(length))
        return Step::End;
    // A live stream trickles in: its packets are written in batches, a fraction of a second
    // apart, so that many recordings at once cost little.
    if (m_task.StreamType == StreamType::Live && m_task.Transport != Transport::Udp &&
        m_task.RecvBuffer.size() < LiveBatchBytes)
        m_task.RecvBuffer.waitFor(LiveBatchBytes, std::chrono::steady_clock::now() + LiveBatchWait);
    const SaveFileWriter::DataState state =
        m_task.Transport == Transport::Udp ? writeCopiedPacket(length) : writeBufferedPackets();
    if (state == SaveFileWriter::DataState::Failed) {
        dataWriteFailed();
        return Step::End;
    }
    return Step::Continue;
}

void ReceiveWorker::startHeaderClock()
{
    // A second, and the time the header takes at the stream's own rate.
    const quint32 bitRate = m_task.BitRate;
    const qint64 transferMs = bitRate > 0 ? qint64(m_task.HeaderSize.load()) * 8000 / bitRate : 0;
    m_headerDeadline = std::chrono::steady_clock::now() + HeaderWait +
                       std::chrono::milliseconds(qMin<qint64>(transferMs, MaxHeaderTransferMs));
}

ReceiveWorker::Step ReceiveWorker::headerTimedOut()
{
    if (m_headerTries >= HeaderTries) {
        m_headerDeadline.reset();
        m_log.append(QCoreApplication::translate("ReceiveWorker", "- 文件头信息没有完整收到, 无法继续"));
        m_hooks.CloseTask();
        m_person.showMessage(QCoreApplication::translate(
            "ReceiveWorker", "服务器发送的文件头信息不完整, 任务终止\n可以尝试使用 TCP 方式下载"));
        return Step::End;
    }
    ++m_headerTries;
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 文件头信息不完整, 重新请求 (第 %1 次)")
                     .arg(m_headerTries - 1));
    m_task.HeaderBuffer.clear();
    m_exchange.sendCancelHeaderRequest();
    m_exchange.sendHeaderRequest();
    startHeaderClock();
    return Step::Continue;
}

bool ReceiveWorker::udpStreamWhole() const
{
    if (m_task.UdpMissing > 0)
        return false;
    // A stored programme also ends with its last packet: losing the last datagrams leaves no
    // gap behind them.
    return m_task.StreamType != StreamType::Stored || m_task.PacketCount == 0 ||
           (m_task.DataPacketSeen && m_task.PacketIndex + 1 >= m_task.PacketCount);
}

void ReceiveWorker::finishPendingEnd()
{
    m_endPending = false;
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 丢失的 UDP 数据包已经全部收到"));
    if (!m_exchange.DispatchCommand(m_endCommand))
        m_hooks.CloseTask();
}

quint32 ReceiveWorker::packetIndex(quint32 location)
{
    if (m_task.Transport == Transport::Udp)
        return location - m_task.UdpLocationBase; // placed by where the server started, not by arrival
    if (!m_firstLocationSeen) {
        m_firstLocation = location;
        m_firstLocationSeen = true;
    }
    if (m_task.Transport == Transport::Http) {
        // A stored programme's location is the packet's place in the file; a broadcast counts
        // from where the recording began. After a stream change both go on from the last packet.
        const bool absolute = m_task.StreamType == StreamType::Stored && m_indexBase == 0;
        return m_indexBase + (absolute ? location : location - m_firstLocation);
    }
    return m_task.ResumeMode == ResumeMode::Resume ? location : location - m_firstLocation;
}

std::optional<ReceiveWorker::BufferedPacket> ReceiveWorker::bufferedPacket(char *at,
                                                                           qsizetype available) const
{
    if (m_task.Transport == Transport::Http) {
        constexpr qsizetype prefix = mmsh::FramingSize + mmsh::DataHeaderSize;
        if (available < prefix)
            return std::nullopt;
        const auto chunk = mmsh::readChunkHead(at);
        if (!chunk || chunk->type != mmsh::ChunkData || chunk->length < mmsh::DataHeaderSize ||
            mmsh::FramingSize + chunk->length > available)
            return std::nullopt;
        const quint32 location = mms::readMediaPrefix(at + mmsh::FramingSize).location;
        return BufferedPacket{location, at + prefix, chunk->length - mmsh::DataHeaderSize,
                              mmsh::FramingSize + chunk->length};
    }
    if (available < mms::MediaPrefixSize || mms::isCommand(at))
        return std::nullopt;
    const mms::MediaPrefix media = mms::readMediaPrefix(at);
    if (media.kind != mms::KindData || media.length < mms::MediaPrefixSize || media.length > available)
        return std::nullopt;
    return BufferedPacket{media.location, at + mms::MediaPrefixSize, media.length - mms::MediaPrefixSize,
                          media.length};
}

SaveFileWriter::DataState ReceiveWorker::writeBufferedPackets()
{
    // The file stays locked from the first packet index set to the write, so the finishing
    // steps never see an index ahead of what is on disk.
    SaveFileHandle::Access file = m_task.SaveFile.lock();
    // After a stop the task's end finishes the file under this lock; a packet written after it
    // would lie past the size the header states.
    if (m_task.StopRequested())
        return SaveFileWriter::DataState::Dropped;
    const ReceiveBuffer::Front front = m_task.RecvBuffer.pinFront();
    m_packets.clear();
    qsizetype consumed = 0;
    const qsizetype packetSize = m_task.PacketSize;
    while (consumed < BatchBytes) {
        const std::optional<BufferedPacket> unit =
            bufferedPacket(front.data + consumed, front.size - consumed);
        if (!unit)
            break;
        if (consumed > 0 && m_task.StopRequested())
            break; // Stop ends the worker after the unit it has
        const quint32 index = packetIndex(unit->location);
        m_task.PacketIndex = index;
        m_task.DataPacketSeen = true;
        readPacketTimes(unit->payload, unit->payloadSize);
        // A server may leave out a packet's padding; the file gets it back.
        if (unit->payloadSize < packetSize)
            RestorePaddingLength(unit->payload, unit->payloadSize, packetSize);
        m_packets.push_back({index, unit->payload, unit->payloadSize});
        consumed += unit->unitSize;
    }
    // Taken out of the buffer before the write, so the next read comes in meanwhile.
    m_task.RecvBuffer.remove(consumed);
    const SaveFileWriter::DataState state = m_writer.WriteDataPackets(file, m_task.geometry(), m_packets);
    m_task.RecvBuffer.releaseFront();
    return state;
}

SaveFileWriter::DataState ReceiveWorker::writeCopiedPacket(quint16 length)
{
    SaveFileHandle::Access file = m_task.SaveFile.lock();
    if (m_task.StopRequested())
        return SaveFileWriter::DataState::Dropped;
    char prefix[mms::MediaPrefixSize];
    m_task.RecvBuffer.peek(mms::MediaPrefixSize, prefix);
    const quint32 index = packetIndex(mms::readMediaPrefix(prefix).location);
    m_task.RecvBuffer.take(mms::MediaPrefixSize, length, m_unit);
    // Resent packets come late: the index shown and recorded is the highest on disk.
    if (!m_task.DataPacketSeen || index > m_task.PacketIndex)
        m_task.PacketIndex = index;
    m_task.DataPacketSeen = true;
    readPacketTimes(m_unit.data(), m_unit.size());
    const DataPacket packet{index, m_unit.constData(), m_unit.size()};
    return m_writer.WriteDataPackets(file, m_task.geometry(), {&packet, 1});
}

void ReceiveWorker::readPacketTimes(char *packet, qsizetype size)
{
    const int offset = TimestampOffset(QByteArrayView(packet, size));
    const std::optional<quint32> sendTime = ByteReader(QByteArrayView(packet, size)).u32(offset);
    if (offset == 0 || !sendTime) {
        m_log.append(QCoreApplication::translate("ReceiveWorker", "丢失时间码, 格式发生错误, 正在继续..."));
        m_log.DumpBytes(packet, qMin(size, DumpLength));
        return;
    }
    if (!m_firstTimeSeen) {
        m_firstTime = *sendTime;
        m_firstTimeSeen = true;
    } else if (m_timesContinue) {
        // A new stream after a change starts its clock again; the recording's goes on.
        m_firstTime = *sendTime - m_task.PacketTime;
    }
    m_timesContinue = false;
    m_task.PacketTime = m_task.ResumeMode == ResumeMode::Resume ? *sendTime : *sendTime - m_firstTime;
    // A live recording counts from 0, in step with PacketTime.
    if (m_task.StreamType == StreamType::Live && !RebasePacketTimes(packet, size, m_firstTime, m_log))
        m_log.append(QCoreApplication::translate("ReceiveWorker", "信息包发生错误, 时间码更新失败"));
}

void ReceiveWorker::dataWriteFailed()
{
    // The packets are not on disk: the resume record names the first, so a resume fetches them.
    {
        SaveFileHandle::Access file = m_task.SaveFile.lock();
        const auto lost = SaveFileWriter::firstUnwrittenPacket(file, m_task.geometry());
        if (lost && *lost < m_task.PacketIndex)
            m_task.PacketIndex = *lost;
    }
    const QString cause = m_writer.failureMessage();
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 写入媒体数据失败 (数据包 %1): %2")
                     .arg(m_task.PacketIndex.load())
                     .arg(cause));
    m_hooks.CloseTask();
    m_person.showMessage(QCoreApplication::translate(
                             "ReceiveWorker", "无法写入本地文件, 任务终止\n%1\n\n已经写入的数据已被保存, "
                                              "释放空间后可以续传这个文件")
                             .arg(cause));
}

void ReceiveWorker::limitResumeToFile()
{
    // A file whose task ended without its resume record (the program was killed) still states
    // the server's packet count: restart after the last whole packet it holds instead.
    std::optional<quint32> held;
    {
        SaveFileHandle::Access file = m_task.SaveFile.lock();
        held = SaveFileWriter::packetsOnDisk(file, m_task.geometry());
    }
    if (!held || *held >= m_task.ResumePacket)
        return;
    m_log.append(QCoreApplication::translate("ReceiveWorker", "- 文件只保存了 %1 个完整的数据包, 从这里继续")
                     .arg(*held));
    m_task.ResumePacket = *held;
}

ReceiveWorker::Step ReceiveWorker::corruptStream()
{
    qCDebug(lcMms) << "corrupt stream at packet" << m_task.PacketIndex.load();
    m_log.append(QCoreApplication::translate("ReceiveWorker", "当前的 MMS 信息包出错 - 现在关闭"));
    m_task.RecvBuffer.peek(DumpLength, m_unit);
    m_log.DumpBytes(m_unit.constData(), m_unit.size());
    m_task.RecvBuffer.clear();
    m_hooks.CloseTask();
    m_person.showMessage(QCoreApplication::translate(
        "ReceiveWorker", "一个错误的 MMS 信息包已被删除    \n你可以尝试继续执行任务"));
    return Step::End;
}

} // namespace lumo
