#include "control/downloadcontroller.h"

#include "asf/finishing.h"
#include "control/address.h"
#include "control/logging.h"
#include "control/logsaving.h"
#include "control/savefilechoice.h"
#include "control/statustext.h"
#include "control/taskendtexts.h"
#include "mms/httpclient.h"
#include "mms/udpendpoint.h"
#include "mms/udprouter.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCoreApplication>
#include <QDate>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QTime>

namespace lumo {

DownloadController::DownloadController(TaskLog &log, Settings &settings, Interaction &person,
                                       UdpEndpoint &udp, QObject *parent)
    : QObject(parent), m_log(log), m_settings(settings), m_rawPerson(person), m_person(person), m_udp(udp),
      m_udpIntake(m_task, log), m_writer(log), m_exchange(m_task, m_tcp, log, m_person, settings, *this),
      m_httpSession(m_task, m_tcp, log, m_person, settings),
      m_worker(m_task, m_exchange, m_writer, log, m_person, *this)
{
    m_progressTimer.setInterval(ProgressIntervalMs);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &DownloadController::updateProgress);
    connect(&m_connectTimer, &QTimer::timeout, this, &DownloadController::connectTimedOut);

    connect(&m_tcp, &TcpConnection::lookup, this, &DownloadController::TCPSocketLookup);
    connect(&m_tcp, &TcpConnection::connecting, this, &DownloadController::TCPSocketConnecting);
    connect(&m_tcp, &TcpConnection::connected, this, &DownloadController::TCPSocketConnect);
    connect(&m_tcp, &TcpConnection::readyRead, this, &DownloadController::TCPSocketRead);
    connect(&m_tcp, &TcpConnection::disconnected, this, &DownloadController::TCPSocketDisconnect);
    // A connect that fails ends through the time-out.
    connect(&m_tcp, &TcpConnection::error, this, &DownloadController::TCPSocketError);
    // Datagrams nobody asked for are noted in the log of a task that is running.
    connect(&UdpRouter::of(m_udp), &UdpRouter::unrequested, this, [this] {
        if (!idle())
            m_log.append(QCoreApplication::translate("UdpIntake", "警告, 在本地端口删除未请求的 UDP 数据"));
    });
    connect(&m_udpIntake, &UdpMediaIntake::datagramTooLarge, this, [this] {
        m_rawPerson.showMessage(
            QCoreApplication::translate("DownloadController", "错误 - UDP 缓冲区对于数据包来说太小"));
    });

    // The log model is the core's; the person sees each entry in order, on the event thread.
    connect(&m_log, &TaskLog::appended, this,
            [this](const QString &entry) { m_rawPerson.logAppended(entry); });
    connect(&m_log, &TaskLog::cleared, this, [this] { m_rawPerson.logCleared(); });

    // A paused TCP read goes on once the worker has made room.
    m_task.RecvBuffer.setDrainedCallback([this] {
        QMetaObject::invokeMethod(
            this, [this] { TCPSocketRead(); }, Qt::QueuedConnection);
    });
}

DownloadController::~DownloadController()
{
    if (!idle())
        CloseTask();
    m_task.RecvBuffer.requestStop();
    waitForWorker(WorkerEndTimeoutMs);
}

void DownloadController::setState(State state)
{
    qCDebug(lcControl) << "task state" << int(m_state) << "->" << int(state);
    m_state = state;
}

void DownloadController::onEventThread(const std::function<void()> &work)
{
    m_person.runOnEventThread(work);
}

void DownloadController::publishStatus()
{
    onEventThread([this] { m_rawPerson.statusChanged(m_status); });
}

bool DownloadController::waitForWorker(int timeoutMs)
{
    if (!m_worker.running())
        return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &DownloadController::finished, &loop, &QEventLoop::quit);
    QTimer poll; // the worker's end arrives as a queued call; look again after each event batch
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!m_worker.running())
            loop.quit();
    });
    timeout.start(timeoutMs);
    poll.start(10);
    loop.exec();
    return !m_worker.running();
}

void DownloadController::ResetTask()
{
    m_task.ResetTask();
    m_completed = false;
    m_status = TaskStatus{};
    m_status.title = QStringLiteral("Lumo");
    m_status.label = TaskLabel::Standby;
    m_status.connectEnabled = idle();
    m_status.disconnectEnabled = !idle();
    m_log.clear();
    m_analysis = HeaderAnalysis{};
    m_streamPicks.clear();
    publishStatus();
    Q_EMIT propertiesChanged();
}

bool DownloadController::start(const QString &urlText)
{
    if (urlText.isEmpty()) {
        m_rawPerson.showMessage(AddressRule::emptyMessage());
        return false;
    }
    // An http:// address may be a stream served over HTTP; a redirect file or page is opened instead.
    const AddressClass kind = ClassifyAddress(urlText);
    if (!(kind & MmsAddress) && !((kind & HttpAddress) && !(kind & RedirectFile))) {
        m_rawPerson.showMessage(AddressRule::notMmsMessage());
        Q_EMIT urlListCleared();
        return false;
    }
    // A port text that is not a number cannot be connected to either; both get the port message.
    bool portOk = false;
    const uint port = m_settings.tcpPort().trimmed().toUInt(&portOk);
    if (m_settings.tcpPort().isEmpty() || !portOk || port == 0 || port > 65535) {
        m_rawPerson.showMessage(noPortMessage());
        return false;
    }
    // Without the bound port the server would be told port 0 and the task would wait for nothing.
    const QString scheme = SchemeOf(urlText);
    const bool overHttp = scheme == QLatin1String("mmsh") || scheme == QLatin1String("http");
    if (m_settings.useUdp() && !overHttp && !m_udp.isBound()) {
        m_rawPerson.showMessage(udpPortUnavailableMessage(m_settings.udpBindPort()));
        return false;
    }
    if (!idle() || !waitForWorker(WorkerEndTimeoutMs) || !m_worker.join(WorkerEndTimeoutMs))
        return false;

    ResetTask();
    m_savedNothing = false;
    m_interrupted = false;
    m_stoppedByPerson = false;
    m_closeLogged = false;
    m_urlText = urlText;
    m_streamRule = m_settings.streamRule();
    const QString host = HostOf(urlText);
    if (host.isEmpty()) {
        m_rawPerson.showMessage(AddressRule::noHostMessage());
        return false;
    }
    m_task.HostName = host;
    // A port after the host wins over the setting; one that is not a number is refused here,
    // not sent to the name look-up.
    const HostPort target = SplitHostPort(host);
    if (target.badPort) {
        m_rawPerson.showMessage(noPortMessage());
        return false;
    }
    const QString path = PathOf(urlText);
    if (path.isEmpty()) {
        m_rawPerson.showMessage(AddressRule::noPathMessage());
        return false;
    }
    m_task.MediaPath = path;

    // The chosen file stays on show even when it could not be used.
    const SaveFileChoice saveFile = PrepareSaveFile(m_task, m_rawPerson, m_settings, urlText);
    m_saveWindow = saveFile.path;
    if (!saveFile.opened)
        return false;

    m_status.title = QCoreApplication::translate("DownloadController", "Lumo 激活中");
    publishStatus();
    m_log.append(QCoreApplication::translate("DownloadController", "------- 记录开始 -------"));
    m_log.append(QCoreApplication::translate("DownloadController", "打开 :\t") + m_mediaWindow);
    m_log.append(QCoreApplication::translate("DownloadController", "保存 :\t") + m_saveWindow);
    m_log.append(QCoreApplication::translate("DownloadController", "地址 :\t") + urlText);

    openConnection(urlText, target, quint16(port));
    return true;
}

void DownloadController::confirmStop()
{
    if (!m_rawPerson.askYesNo(QCoreApplication::translate("DownloadController", "你确定要终止这个任务吗?")))
        return;
    stop();
}

TaskEnd DownloadController::lastEnd() const
{
    if (m_completed)
        return TaskEnd::Completed;
    if (m_interrupted)
        return TaskEnd::Interrupted;
    return m_stoppedByPerson ? TaskEnd::StoppedByPerson : TaskEnd::Failed;
}

void DownloadController::stop()
{
    m_stoppedByPerson = !idle();
    CloseTask();
    m_status.title = QStringLiteral("Lumo");
    publishStatus();
    m_rawPerson.showMessage(
        m_savedNothing ? QCoreApplication::translate("DownloadController",
                                                     "连接已经关闭, 没有收到任何媒体数据, 没有保存文件")
                       : QCoreApplication::translate("DownloadController",
                                                     "连接已经关闭, 你所下载的媒体文件已经被保存"));
}

void DownloadController::OnException(const QString &message)
{
    if (message.startsWith(QStringLiteral("Windows Socket 错误")))
        m_person.showMessage(QCoreApplication::translate("DownloadController", "Lumo 网络连接失败"));
    else
        m_person.showMessage(QCoreApplication::translate("DownloadController", "发生了一个异常错误\n") +
                             message);
    AbandonTask();
}

void DownloadController::AbandonTask()
{
    m_task.LiveRepairDone = true;
    m_task.ResumeRecordDone = true;
    CloseTask();
}

void DownloadController::ConnectionLost()
{
    logConnectionClosed();
    CloseTask();
    if (m_task.StreamType == StreamType::Stored && !m_completed)
        reportInterrupted(QCoreApplication::translate("DownloadController", "服务器关闭了连接"));
}

void DownloadController::EndIncomplete(quint32 missing)
{
    m_log.append(
        QCoreApplication::translate("DownloadController", "- 媒体已经结束, 但有 %1 个 UDP 数据包没有收到")
            .arg(missing));
    CloseTask();
    if (m_task.StreamType != StreamType::Live)
        reportInterrupted(
            QCoreApplication::translate("DownloadController", "有 %1 个数据包没有收到").arg(missing));
}

void DownloadController::ExpectPacketsUpTo(quint32 lastLocation)
{
    QMetaObject::invokeMethod(
        this, [this, lastLocation] { m_udpIntake.expectUpTo(lastLocation); }, Qt::QueuedConnection);
}

void DownloadController::reportInterrupted(const QString &reason)
{
    m_interrupted = true;
    const quint32 count = m_task.PacketCount;
    // Every packet before the first one missing (over UDP) is on disk.
    const quint32 held =
        m_task.DataPacketSeen ? qMin(m_task.PacketIndex + 1, m_task.UdpFirstMissing.load()) : 0;
    m_log.append(QCoreApplication::translate("DownloadController", "- 下载被中断: %1").arg(reason));
    onEventThread([this] {
        m_status.title = QCoreApplication::translate("DownloadController", "Lumo - 下载中断 -");
        m_rawPerson.statusChanged(m_status);
    });
    m_person.showMessage(interruptedMessage(reason, held, count));
}

void DownloadController::CloseTask()
{
    m_task.RecvBuffer.requestStop();
    onEventThread([this] {
        m_connectTimer.stop();
        m_status.connectEnabled = true;
        m_status.disconnectEnabled = false;
        m_rawPerson.statusChanged(m_status);
    });

    const bool local = m_task.LocalMedia;
    if (m_task.StreamType == StreamType::Live && !local && !m_task.LiveRepairDone.exchange(true)) {
        // The file states the packets it holds: the last index + 1.
        const quint32 count = m_task.DataPacketSeen ? m_task.PacketIndex + 1 : 0;
        const RepairResult repaired =
            RepairLiveRecording(m_task.SaveFile, m_task.geometry(), count, m_task.PacketTime);
        if (!repaired.errorMessage.isEmpty())
            m_person.showMessage(repaired.errorMessage);
        m_log.append(
            repaired.ok
                ? QCoreApplication::translate("DownloadController", "- 为实况节目修复 ASF 文件头")
                : QCoreApplication::translate("DownloadController", "- 无法修复实况 ASF 文件头, 文件错误"));
    }
    m_task.LiveRepairDone = true;

    if (m_task.StreamType == StreamType::Stored && m_task.ResumePacket > 0 && !local &&
        !m_task.ResumeRecordDone.exchange(true)) {
        bool written = true;
        // A resumed task that received nothing keeps the restart point the file already has.
        if (m_task.DataPacketSeen || m_task.ResumeMode == ResumeMode::New) {
            // Over UDP a lost packet may lie before the highest one on disk: restart there.
            const quint32 restart = qMin(m_task.PacketIndex.load(), m_task.UdpFirstMissing.load());
            written = WriteResumePoint(m_task.SaveFile, m_task.geometry(), restart);
        }
        m_log.append(written ? QCoreApplication::translate("DownloadController", "- ASF 续传/结束数据已写入")
                             : QCoreApplication::translate("DownloadController",
                                                           "- 写入 ASF 续传/结束数据时发生错误"));
    }
    m_task.ResumeRecordDone = true;

    onEventThread([this] {
        // Our own close ends the connection too, and the log says so once.
        const bool connected = m_state == State::Receiving || m_state == State::Draining;
        m_tcp.close();
        m_udpIntake.end();
        if (connected && !m_closeLogged)
            logConnectionClosed();
        if (m_http && m_http->isConnected())
            m_http->abortTransfer();
        m_status.label = TaskLabel::Standby;
        m_progressTimer.stop();
        m_rawPerson.statusChanged(m_status);
    });
    // A file this task made and nothing reached is not left behind.
    const bool emptyNewFile = !local && m_task.ResumeMode == ResumeMode::New && m_task.SaveFile.isOpen() &&
                              m_task.SaveFile.lock().size() == 0;
    m_task.SaveFile.close();
    if (emptyNewFile && !m_saveWindow.isEmpty() && QFile::remove(m_saveWindow)) {
        m_savedNothing = true;
        m_log.append(
            QCoreApplication::translate("DownloadController", "- 没有收到任何数据, 已删除空的保存文件"));
    }
    onEventThread([this] {
        if (m_state != State::Idle)
            setState(State::Ending);
        maybeFinish();
    });
}

void DownloadController::maybeFinish()
{
    // The worker has ended (or is about to: running() turns false just before its end).
    if (m_state != State::Ending || m_worker.running() || !m_worker.join(WorkerEndTimeoutMs))
        return;
    setState(State::Idle);
    if (!m_completed)
        Q_EMIT ended(lastEnd());
    Q_EMIT finished(m_completed);
}

void DownloadController::WorkerFinished()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Over HTTP the Describe answer's worker ends with the header; the Play goes on.
            if (m_playPending.exchange(false) &&
                (m_state == State::Receiving || m_state == State::Draining) &&
                m_worker.join(WorkerEndTimeoutMs)) {
                playHttpStream();
                return;
            }
            maybeFinish();
        },
        Qt::QueuedConnection);
}

void DownloadController::CompleteDownload()
{
    bool written = true;
    if (m_task.DataPacketSeen)
        written = WriteResumeRecord(m_task.SaveFile, m_task.HeaderSize, m_task.PacketIndex + 1);
    m_log.append(written ? QCoreApplication::translate("DownloadController", "- ASF 写入结束")
                         : QCoreApplication::translate("DownloadController", "- 结束 ASF 文件时发生错误"));
    m_task.ResumeRecordDone = true;
    m_completed = true;
    CloseTask();
    m_log.append(QCoreApplication::translate("DownloadController", "- ** 下载已经完成 **"));
    m_log.append(QCoreApplication::translate("DownloadController", "------- 记录关闭 -------"));

    bool autoLog = false;
    int interval = 0;
    onEventThread([&] {
        m_status.progress = 100;
        m_status.title = QCoreApplication::translate("DownloadController", "Lumo 已完成");
        m_rawPerson.statusChanged(m_status);
        interval = m_settings.soundInterval().trimmed().toInt(); // not a number: no sound
        autoLog = m_settings.autoSaveLog();
    });
    if (interval > 0)
        m_person.startCompletionSound(interval);
    if (autoLog) {
        m_person.stopCompletionSound();
        onEventThread([this] { saveTaskLog(m_log, m_settings, m_rawPerson, m_saveWindow, m_mediaWindow); });
    }
    onEventThread([this] { Q_EMIT ended(TaskEnd::Completed); });
    m_person.showMessage(
        QCoreApplication::translate("DownloadController", "下载已完成, 媒体文件已经写入本地磁盘"));
    m_person.stopCompletionSound();
}

void DownloadController::ShowStreamStart()
{
    m_log.append(QCoreApplication::translate("DownloadController", "- 正在接收流信息 -") +
                 (m_task.Transport == Transport::Http ? QStringLiteral(" HTTP ")
                  : m_udpTick                         ? QStringLiteral(" UDP ")
                                                      : QStringLiteral(" TCP ")) +
                 QCoreApplication::translate("DownloadController", "信息 -"));
    onEventThread([this] {
        m_status.showPercentText = m_task.StreamType == StreamType::Stored;
        m_status.label = m_task.StreamType == StreamType::Live ? TaskLabel::Live : TaskLabel::PreRec;
        m_rawPerson.statusChanged(m_status);
    });
}

bool DownloadController::analyseLocalMedia(const QString &path)
{
    m_task.HeaderSize = LocalHeaderSize(path);
    return analyse(path, false);
}

bool DownloadController::AnalyseHeader()
{
    return analyse(m_saveWindow, true);
}

bool DownloadController::analyse(const QString &path, bool download)
{
    // A task started from a typed address has no media location; the file it fills stands in.
    const QString location = m_mediaWindow.isEmpty() ? m_saveWindow : m_mediaWindow;
    HeaderAnalysis result = AnalyseAsfHeader(path, m_task.HeaderSize, m_task.StreamType, location);
    m_task.StreamCount = result.StreamCount;
    m_task.StreamNumbers = result.StreamNumbers;
    m_task.StreamKinds = result.StreamKinds;
    m_task.AsfFileSize = result.AsfFileSize;
    m_task.ResumePacket = result.ResumePacket;
    m_task.SendDuration = result.SendDuration;
    m_task.MaxBitRate = result.MaxBitRate;
    bool chosen = true;
    QList<StreamPick> picks;
    if (result.ok && download) {
        chosen = chooseStreams(result.streams);
        picks = m_task.StreamPicks;
    } else if (const auto stated = ChoiceStatedInHeader(result.streams)) {
        picks = stated->picks;
    }
    onEventThread([&] {
        m_analysis = result;
        m_streamPicks = picks;
        Q_EMIT propertiesChanged();
    });
    if (!result.ok)
        m_person.showMessage(result.errorMessage);
    return result.ok && chosen;
}

void DownloadController::updateProgress()
{
    const quint32 packetTime = m_task.PacketTime;
    const quint32 sendDuration = m_task.SendDuration;
    const StreamType streamType = m_task.StreamType;
    m_status.sendTimeMs = packetTime;
    m_status.live = streamType == StreamType::Live;
    m_status.timeLeftMs = sendDuration != 0 && packetTime <= sendDuration ? sendDuration - packetTime : 0;

    TaskStatistics statistics;
    statistics.packets = m_task.PacketIndex;
    statistics.pings = m_task.PingCount;
    statistics.streamCount = m_task.StreamCount;
    statistics.packetSize = m_task.PacketSize;
    statistics.maxBitRate = m_task.MaxBitRate;
    statistics.streamBitRate = m_task.BitRate;
    statistics.clientId = m_task.ClientId;
    m_status.statistics = statistics;

    const quint32 count = m_task.PacketCount;
    if (streamType == StreamType::Live) {
        m_status.title = QCoreApplication::translate("DownloadController", "Lumo - 实况 -");
    } else if (count > 0) {
        m_status.progress = progressPercent(m_task.PacketIndex, count);
        m_status.title = QCoreApplication::translate("DownloadController", "进度 %1%").arg(m_status.progress);
    } else {
        m_status.progress = 0;
    }
    m_rawPerson.statusChanged(m_status);
}

} // namespace lumo
