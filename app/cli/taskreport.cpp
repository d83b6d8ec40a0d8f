#include "taskreport.h"

#include "control/downloadcontroller.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

namespace lumo::cli {

int exitStatus(GetStatus status)
{
    switch (status) {
    case GetStatus::Completed:
    case GetStatus::Stopped:
        return ExitOk;
    case GetStatus::Failed:
        return ExitFailed;
    case GetStatus::Interrupted:
        return ExitInterrupted;
    case GetStatus::Refused:
        return ExitRefused;
    }
    return ExitFailed;
}

QString statusName(GetStatus status)
{
    switch (status) {
    case GetStatus::Completed:
        return QStringLiteral("completed");
    case GetStatus::Stopped:
        return QStringLiteral("stopped");
    case GetStatus::Failed:
        return QStringLiteral("failed");
    case GetStatus::Interrupted:
        return QStringLiteral("interrupted");
    case GetStatus::Refused:
        return QStringLiteral("refused");
    }
    return QStringLiteral("failed");
}

QString outcomeHelp()
{
    return QCoreApplication::translate(
        "LumoCli",
        "When the task ends, one summary line goes to standard output:\n"
        "  completed: /home/me/clip.asf, 54 packets, 210.5 kB in 3 s\n"
        "The first word is completed, stopped, interrupted, refused or failed; all but completed\n"
        "add the reason. The task log and, on a terminal, the progress line go to standard error.\n"
        "--json prints only JSON objects on standard output, one per line: started, progress\n"
        "each second, and ended with status, path, packets, bytes and reason.\n"
        "Exit status: 0 completed, or stopped as asked (Ctrl-C, SIGTERM, --for); 1 failed;\n"
        "2 bad command line; 3 a stored download was interrupted (--resume continues it);\n"
        "4 refused by the server (an error reply, a login refused or missing).");
}

QString withoutProgramName(const QString &text)
{
    QString reason = text.trimmed();
    for (const QString &name : {QStringLiteral("lumo-cli: "), QStringLiteral("lumo: ")}) {
        if (reason.startsWith(name))
            return reason.mid(name.size());
    }
    return reason;
}

GetStatus statusOf(TaskEnd end, bool refusedByServer)
{
    switch (end) {
    case TaskEnd::Completed:
        return GetStatus::Completed;
    case TaskEnd::StoppedByPerson:
        return GetStatus::Stopped;
    case TaskEnd::Interrupted:
        return GetStatus::Interrupted;
    case TaskEnd::Failed:
        break;
    }
    return refusedByServer ? GetStatus::Refused : GetStatus::Failed;
}

TaskReport::TaskReport(bool json) : m_json(json)
{
    m_clock.start();
}

void TaskReport::emitEvent(QJsonObject event)
{
    event.insert(QStringLiteral("seconds"), double(m_clock.elapsed() / 100) / 10.0);
    std::fputs(QJsonDocument(event).toJson(QJsonDocument::Compact).append('\n').constData(), stdout);
    std::fflush(stdout);
}

void TaskReport::started(const QString &url, const DownloadController &controller)
{
    if (!m_json)
        return;
    emitEvent({{QStringLiteral("event"), QStringLiteral("started")},
               {QStringLiteral("url"), url},
               {QStringLiteral("path"), controller.saveWindowText()}});
    m_progressTimer.setInterval(ProgressIntervalMs);
    QObject::connect(&m_progressTimer, &QTimer::timeout, &m_progressTimer,
                     [this, &controller] { progress(controller); });
    m_progressTimer.start();
}

void TaskReport::progress(const DownloadController &controller)
{
    const FileTally tally = tallyOf(controller);
    const TaskStatus &status = controller.status();
    const bool live = controller.task().StreamType == StreamType::Live;
    const bool known = !live && controller.task().PacketCount > 0;
    emitEvent({{QStringLiteral("event"), QStringLiteral("progress")},
               {QStringLiteral("packets"), tally.packets},
               {QStringLiteral("bytes"), tally.bytes},
               {QStringLiteral("live"), live},
               {QStringLiteral("percent"), known ? QJsonValue(status.progress) : QJsonValue()},
               {QStringLiteral("media_ms"), qint64(status.sendTimeMs.value_or(0))}});
}

void TaskReport::ended(GetStatus status, const FileTally &tally, const QString &reason)
{
    m_progressTimer.stop();
    if (m_json) {
        emitEvent({{QStringLiteral("event"), QStringLiteral("ended")},
                   {QStringLiteral("status"), statusName(status)},
                   {QStringLiteral("path"), tally.path.isEmpty() ? QJsonValue() : QJsonValue(tally.path)},
                   {QStringLiteral("packets"), tally.packets},
                   {QStringLiteral("bytes"), tally.bytes},
                   {QStringLiteral("reason"), reason.simplified()}});
        return;
    }
    // The status word stays English whatever the language: it is what scripts match.
    QString line = statusName(status) + QStringLiteral(": ");
    if (!tally.path.isEmpty()) {
        // One arg() call, so that a "%1" in the file name stays as it is.
        line += QCoreApplication::translate("LumoCli", "%1, %2 packets, %3 in %4 s")
                    .arg(tally.path, QString::number(tally.packets), sizeText(tally.bytes),
                         QString::number((m_clock.elapsed() + 500) / 1000));
        if (status != GetStatus::Completed && !reason.isEmpty())
            line += QStringLiteral(" - ");
    }
    if (status != GetStatus::Completed || tally.path.isEmpty())
        line += reason.simplified();
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

FileTally TaskReport::tallyOf(const DownloadController &controller)
{
    FileTally tally;
    const QFileInfo file(controller.saveWindowText());
    if (controller.saveWindowText().isEmpty() || !file.isFile())
        return tally;
    tally.path = file.absoluteFilePath();
    tally.bytes = file.size();
    const DownloadTask &task = controller.task();
    // Over UDP every packet before the first one missing is on disk, as the resume record says.
    if (task.DataPacketSeen)
        tally.packets = qMin(task.PacketIndex + 1, task.UdpFirstMissing.load());
    return tally;
}

QString TaskReport::sizeText(qint64 bytes)
{
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    const char *units[] = {"kB", "MB", "GB", "TB"};
    double value = double(bytes) / 1000.0;
    int unit = 0;
    while (value >= 999.95 && unit < 3) {
        value /= 1000.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

} // namespace lumo::cli
