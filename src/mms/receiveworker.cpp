#include "mms/receiveworker.h"

#include "asf/packettimes.h"
#include "asf/savefilewriter.h"
#include "mms/bytes.h"
#include "mms/commandexchange.h"
#include "mms/downloadtask.h"
#include "mms/message.h"
#include "mms/servererrors.h"
#include "mms/taskhooks.h"
#include "shell/interaction.h"
#include "shell/tasklog.h"

namespace lumo {

namespace {
constexpr qsizetype DumpLength = 64;
constexpr quint8 PingCommand = 0x1B;
// A media packet's length is 16 bits with the prefix: no ASF packet it carries is larger. A
// larger announced size would pad every packet to it (up to 4 GiB each).
constexpr quint32 LargestPacketSize = 0xFFFF - mms::MediaPrefixSize;
// Packets written in one call at most (about what one socket read brings).
constexpr qint64 BatchBytes = 2 * 1024 * 1024;
} // namespace

ReceiveWorker::ReceiveWorker(DownloadTask &task, CommandExchange &exchange, SaveFileWriter &writer,
                             TaskLog &log, Interaction &person, TaskHooks &hooks)
    : m_task(task), m_exchange(exchange), m_writer(writer), m_log(log), m_person(person), m_hooks(hooks)
{
    m_flushWhileIdle = [this] {
        if (m_writer.FlushData() == SaveFileWriter::DataState::Failed)
            m_flushFailed = true;
    };
}

ReceiveWorker::~ReceiveWorker()
{
    if (m_thread.joinable()) {
        m_task.RecvBuffer.requestStop();
        m_thread.join();
    }
}

void ReceiveWorker::start()
{
    join();
    m_firstLocationSeen = m_firstTimeSeen = m_headerAnalysed = m_connectionLost = m_flushFailed = false;
    m_firstLocation = m_firstTime = 0;
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void ReceiveWorker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool ReceiveWorker::waitForBytes(qsizetype count)
{
    const ReceiveBuffer::WaitResult result = m_task.RecvBuffer.waitFor(count, m_flushWhileIdle);
    if (m_flushFailed) {
        m_flushFailed = false;
        dataWriteFailed();
        return false;
    }
    switch (result) {
    case ReceiveBuffer::WaitResult::Ready:
        return true;
    case ReceiveBuffer::WaitResult::Stop:
        return false;
    case ReceiveBuffer::WaitResult::Closed:
        m_connectionLost = true;
        return false;
    }
    return false;
}

void ReceiveWorker::run()
{
    char prefix[mms::MediaPrefixSize];
    for (;;) {
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
            step = handleDataPacket(media.location, media.length);
        else
            step = corruptStream();
        if (step == Step::End)
            break;
    }
    // Everything the server sent before it closed has been handled; now the task ends.
    if (m_connectionLost && !m_task.StopRequested())
        m_hooks.ConnectionLost();
    m_running = false;
    m_hooks.WorkerFinished();
}

ReceiveWorker::Step ReceiveWorker::handleCommand()
{
    if (!waitForBytes(mms::MinCommandSize))
        return Step::End;
    m_task.RecvBuffer.peek(mms::MinCommandSize, m_unit);
    const quint32 length = le32(m_unit.constData() + 8) + 16u;
    if (length < mms::MinCommandSize) // cannot be a command; the stream is out of step
        return corruptStream();
    // A command longer than the TCP read ever buffers would wait for ever: the read pauses at
    // that size until the worker makes room, which it cannot do before the command is whole.
    if (length > quint32(ReceiveBuffer::TcpLimit))
        return corruptStream();
    if (!waitForBytes(qsizetype(length)))
        return Step::End;
    m_task.RecvBuffer.peek(qsizetype(length), m_unit);
    // Packets before a command reach the disk first: the end of media finishes the file.
    if (m_writer.FlushData() == SaveFileWriter::DataState::Failed) {
        dataWriteFailed();
        return Step::End;
    }
    const quint8 id = quint8(m_unit.at(36));
    const quint32 result = le32(m_unit.constData() + 40);

    if (result >= 0x80000000u && id != PingCommand) {
        m_hooks.CloseTask();
        const ServerErrorReport report = ServerErrorText(result);
        for (const QString &line : report.logLines)
            m_log.append(line);
        m_person.showMessage(report.messageBox);
        m_task.RecvBuffer.remove(qsizetype(length));
        return Step::End;
    }
    if (!m_exchange.DispatchCommand(m_unit))
        m_hooks.CloseTask();
    m_task.RecvBuffer.remove(qsizetype(length));
    return Step::Continue;
}

ReceiveWorker::Step ReceiveWorker::handleHeaderPacket(quint16 length)
{
    if (!waitForBytes(length))
        return Step::End;
    m_task.RecvBuffer.take(mms::MediaPrefixSize, length, m_unit);
    const auto state = m_writer.WriteHeaderPacket(m_unit.constData(), m_unit.size());
    if (state == SaveFileWriter::HeaderState::Failed) {
        m_person.showMessage(m_writer.failureMessage());
        m_hooks.CloseTask();
        return Step::Continue;
    }
    if (state == SaveFileWriter::HeaderState::Complete && !m_headerAnalysed) {
        m_log.append(m_task.ResumeMode == 1 ? QStringLiteral("- 文件头信息已经收到但尚未保存, 正在继续操作")
                                            : QStringLiteral("- 文件头信息已经收到并保存"));
        m_log.append(QStringLiteral("- 正在展开文件头信息..."));
        if (m_hooks.AnalyseHeader()) {
            m_headerAnalysed = true;
            if (m_task.ResumeMode == 1 && m_task.StreamType == 2)
                limitResumeToFile();
            m_log.append(QStringLiteral("- 数据展开已完成, 等待接收流媒体信息..."));
            m_task.PadBytes = QByteArray(qsizetype(qMin(m_task.PacketSize.load(), LargestPacketSize)), '\0');
            m_exchange.sendStreamSelect();
        } else {
            m_log.append(QStringLiteral("- 文件头信息展开失败, 无法继续"));
            m_hooks.CloseTask();
        }
    }
    return Step::Continue;
}

ReceiveWorker::Step ReceiveWorker::handleDataPacket(quint32 location, quint16 length)
{
    if (m_task.PacketSize > LargestPacketSize)
        return corruptStream();
    m_task.PacketIndex = packetIndex(location);
    if (!waitForBytes(length))
        return Step::End;
    m_task.DataPacketSeen = true;

    const qsizetype payload = length - mms::MediaPrefixSize;
    const bool fits = payload <= m_task.PacketSize && m_task.PadBytes.size() >= m_task.PacketSize;
    // Over TCP the packets of a fast stream go from RecvBuffer to the file without a copy.
    if (Step step = Step::Continue; fits && m_task.Transport != 2 && writeDataPackets(step))
        return step;
    SaveFileWriter::DataState state;
    if (fits) {
        // The usual packet goes from RecvBuffer straight into its place in the file's run.
        bool taken = false;
        state = m_writer.WriteDataPacketInPlace([&](char *packet) {
            m_task.RecvBuffer.take(mms::MediaPrefixSize, length, packet);
            taken = true;
            readPacketTimes(packet, payload);
            return payload;
        });
        if (!taken)
            m_task.RecvBuffer.remove(length);
    } else {
        // Before the header is analysed, or a packet that must be cut to size.
        m_task.RecvBuffer.take(mms::MediaPrefixSize, length, m_packet);
        readPacketTimes(m_packet.data(), m_packet.size());
        state = m_writer.WriteDataPacket(m_packet);
    }
    if (state == SaveFileWriter::DataState::Failed) {
        dataWriteFailed();
        return Step::End;
    }
    return Step::Continue;
}

quint32 ReceiveWorker::packetIndex(quint32 location)
{
    if (!m_firstLocationSeen) {
        m_firstLocation = location;
        m_firstLocationSeen = true;
    }
    return m_task.ResumeMode == 1 ? location : location - m_firstLocation;
}

bool ReceiveWorker::writeDataPackets(Step &step)
{
    const qsizetype packetSize = m_task.PacketSize;
    qsizetype consumed = 0;
    SaveFileWriter::DataState state = SaveFileWriter::DataState::Written;
    // The file stays locked from the first packet index set to the write, so the finishing
    // steps never see an index ahead of what is on disk.
    m_task.SaveFile.locked([&] {
        const ReceiveBuffer::Front front = m_task.RecvBuffer.pinFront();
        m_pieces.clear();
        qint64 start = 0, next = 0;
        while (front.size - consumed >= mms::MediaPrefixSize &&
               m_pieces.size() + 2 <= size_t(SaveFileHandle::MaxPieces) && next - start < BatchBytes) {
            char *unit = front.data + consumed;
            if (mms::isCommand(unit))
                break;
            const mms::MediaPrefix media = mms::readMediaPrefix(unit);
            const qsizetype payload = qsizetype(media.length) - mms::MediaPrefixSize;
            if (media.kind != mms::KindData || payload < 0 || payload > packetSize ||
                media.length > front.size - consumed)
                break;
            if (consumed > 0 && m_task.StopRequested())
                break; // Stop ends the worker after the unit it has
            const quint32 index = packetIndex(media.location);
            const qint64 offset = m_writer.dataPacketOffset(index);
            if (consumed == 0)
                start = next = offset;
            else if (offset != next)
                break;
            m_task.PacketIndex = index;
            char *packet = unit + mms::MediaPrefixSize;
            readPacketTimes(packet, payload);
            if (payload > 0)
                m_pieces.push_back({packet, size_t(payload)});
            if (payload < packetSize)
                m_pieces.push_back(
                    {const_cast<char *>(m_task.PadBytes.constData()), size_t(packetSize - payload)});
            consumed += media.length;
            next += packetSize;
        }
        // Taken out of the buffer before the write, so the next read comes in meanwhile.
        m_task.RecvBuffer.remove(consumed);
        if (!m_pieces.empty())
            state = m_writer.WriteDataPieces(start, m_pieces.data(), int(m_pieces.size()));
        m_task.RecvBuffer.releaseFront();
    });
    if (consumed == 0)
        return false;
    step = Step::Continue;
    if (state == SaveFileWriter::DataState::Failed) {
        dataWriteFailed();
        step = Step::End;
    }
    return true;
}

void ReceiveWorker::readPacketTimes(char *packet, qsizetype size)
{
    const int offset = TimestampOffset(QByteArrayView(packet, size));
    if (offset == 0) {
        m_log.append(QStringLiteral("丢失时间码, 格式发生错误, 正在继续..."));
        m_log.DumpBytes(packet, qMin(size, DumpLength));
        return;
    }
    const quint32 sendTime = le32(packet + offset);
    if (!m_firstTimeSeen) {
        m_firstTime = sendTime;
        m_firstTimeSeen = true;
    }
    m_task.PacketTime = m_task.ResumeMode == 1 ? sendTime : sendTime - m_firstTime;
    // A live recording counts from 0, in step with PacketTime.
    if (m_task.StreamType == 1 && !RebasePacketTimes(packet, size, m_firstTime, m_log))
        m_log.append(QStringLiteral("信息包发生错误, 时间码更新失败"));
}

void ReceiveWorker::dataWriteFailed()
{
    // The packets are not on disk: the resume record names the first, so a resume fetches them.
    if (const auto lost = m_writer.firstUnwrittenPacket(); lost && *lost < m_task.PacketIndex)
        m_task.PacketIndex = *lost;
    const QString cause = m_writer.failureMessage();
    m_log.append(
        QStringLiteral("- 写入媒体数据失败 (数据包 %1): %2").arg(m_task.PacketIndex.load()).arg(cause));
    m_hooks.CloseTask();
    m_person.showMessage(QStringLiteral("无法写入本地文件, 任务终止\n%1\n\n已经写入的数据已被保存, "
                                        "释放空间后可以续传这个文件")
                             .arg(cause));
}

void ReceiveWorker::limitResumeToFile()
{
    // A file whose task ended without its resume record (the program was killed) still states
    // the server's packet count: restart after the last whole packet it holds instead.
    const std::optional<quint32> held = m_writer.packetsOnDisk();
    if (!held || *held >= m_task.ResumePacket)
        return;
    m_log.append(QStringLiteral("- 文件只保存了 %1 个完整的数据包, 从这里继续").arg(*held));
    m_task.ResumePacket = *held;
}

ReceiveWorker::Step ReceiveWorker::corruptStream()
{
    m_log.append(QStringLiteral("当前的 MMS 信息包出错 - 现在关闭"));
    m_task.RecvBuffer.peek(DumpLength, m_unit);
    m_log.DumpBytes(m_unit.constData(), m_unit.size());
    m_task.RecvBuffer.clear();
    m_hooks.CloseTask();
    m_person.showMessage(QStringLiteral("一个错误的 MMS 信息包已被删除    \n你可以尝试继续执行任务"));
    return Step::End;
}

} // namespace lumo
