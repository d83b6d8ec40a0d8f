#include "mms/udpintake.h"

#include "mms/downloadtask.h"
#include "mms/logging.h"
#include "mms/message.h"
#include "mms/udpendpoint.h"
#include "mms/udprouter.h"
#include "shell/bytereader.h"
#include "shell/tasklog.h"

#include <algorithm>
#include <QCoreApplication>

namespace lumo {

namespace {
constexpr quint32 ResendSignature = 0xBEEFF00D;
} // namespace

UdpMediaIntake::UdpMediaIntake(DownloadTask &task, TaskLog &log, QObject *parent)
    : QObject(parent), m_task(task), m_log(log)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &UdpMediaIntake::askAgain);
}

UdpMediaIntake::~UdpMediaIntake()
{
    end();
}

void UdpMediaIntake::begin(const QHostAddress &server, quint16 port, UdpRouter &router)
{
    end();
    m_router = &router;
    m_router->add(this);
    m_server = server;
    m_serverPort = port;
    m_active = true;
    m_gaps = UdpGapTracker{};
    m_offset.reset();
    m_strangerLogged = m_backlogLogged = false;
    publishGaps();
}

void UdpMediaIntake::end()
{
    m_active = false;
    m_retryTimer.stop();
    if (m_router)
        m_router->remove(this);
    m_router = nullptr;
}

void UdpMediaIntake::stranger(const QHostAddress &sender)
{
    if (m_strangerLogged)
        return;
    m_strangerLogged = true;
    m_log.append(
        QCoreApplication::translate("UdpIntake", "警告, 删除来自 %1 的 UDP 数据: 它不是这个任务的服务器")
            .arg(sender.toString()));
}

void UdpMediaIntake::tooLarge()
{
    Q_EMIT datagramTooLarge();
}

void UdpMediaIntake::expectUpTo(quint32 lastLocation)
{
    if (!m_active || !m_offset)
        return;
    m_gaps.expectUpTo(lastLocation - *m_offset, std::chrono::steady_clock::now());
    askAgain();
}

void UdpMediaIntake::deliver(const char *datagram, qsizetype size)
{
    // A flood the worker cannot keep up with is dropped here rather than held without limit;
    // what was dropped is asked for again once the worker has caught up.
    if (m_task.RecvBuffer.size() > BacklogLimit) {
        if (!m_backlogLogged) {
            m_backlogLogged = true;
            m_log.append(
                QCoreApplication::translate("UdpIntake", "警告, UDP 数据来得太快, 部分数据包将重新请求"));
        }
        return;
    }
    bool data = false;
    if (size >= mms::MediaPrefixSize && !mms::isCommand(datagram)) {
        const mms::MediaPrefix media = mms::readMediaPrefix(datagram);
        if (media.kind == mms::KindData) {
            const std::optional<quint32> seq = m_gaps.arrived(media.flags, std::chrono::steady_clock::now());
            if (!seq)
                return; // from before the start of this stream
            if (!m_offset) {
                // Stored media is placed by its packet number; a live stream counts from the
                // packet the server started this client at, whichever datagram came first.
                m_offset = media.location - *seq;
                m_task.UdpLocationBase = m_task.StreamType == StreamType::Live ? *m_offset : 0u;
            }
            data = true;
        }
    }
    m_task.RecvBuffer.append(datagram, size);
    // After the append: a worker that sees nothing missing finds every packet in the buffer.
    if (data)
        publishGaps();
}

void UdpMediaIntake::askAgain()
{
    const auto now = std::chrono::steady_clock::now();
    for (QList<quint32> asked = m_gaps.due(now); !asked.isEmpty(); asked = m_gaps.due(now)) {
        QByteArray request = U32ToBytes(ResendSignature) + U32ToBytes(m_task.ClientId);
        const quint16 fileId = quint16(m_task.FileId.load());
        const quint16 count = quint16(asked.size());
        request.append(char(fileId & 0xFF)).append(char(fileId >> 8));
        request.append(char(count & 0xFF)).append(char(count >> 8));
        for (quint32 seq : asked)
            request += U32ToBytes(seq);
        if (m_router)
            m_router->endpoint().send(request, m_server, m_serverPort);
        qCDebug(lcMms) << "asked again for" << asked.size() << "UDP packets from" << asked.first();
    }
    publishGaps();
    if (const auto next = m_gaps.nextDue()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*next - now);
        m_retryTimer.start(int(std::max<qint64>(1, wait.count())));
    }
}

void UdpMediaIntake::publishGaps()
{
    m_task.UdpMissing = quint32(std::min<qsizetype>(m_gaps.missingCount(), 0xFFFFFFFF));
    const std::optional<quint32> first = m_gaps.firstMissing();
    m_task.UdpFirstMissing =
        first && m_offset ? *first + *m_offset - m_task.UdpLocationBase.load() : quint32(0xFFFFFFFF);
}

} // namespace lumo
