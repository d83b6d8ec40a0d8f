#include "multiget.h"

#include "control/downloadcontroller.h"
#include "control/mediaopener.h"
#include "control/statustext.h"
#include "mms/httpclient.h"
#include "mms/udpendpoint.h"
#include "shell/pathtext.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

#include <cstdio>

namespace lumo::cli {

namespace {

void err(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

bool isAddress(const QString &line)
{
    static const QRegularExpression address(QStringLiteral("^(mms|mmst|mmsu|mmsh|http|https)://\\S+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return address.match(line).hasMatch();
}

// A plain list: every line that is not empty or a comment is an address.
std::optional<QStringList> plainList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QStringList addresses;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (!isAddress(line))
            return std::nullopt;
        addresses.append(line);
    }
    return addresses;
}

} // namespace

std::optional<QStringList> addressesFrom(const QString &source)
{
    const bool local = QFileInfo::exists(source);
    if (local) {
        if (const auto list = plainList(source); list && !list->isEmpty())
            return list;
    } else if (!(ClassifyAddress(source) & HttpAddress)) {
        err(QCoreApplication::translate("LumoCli", "lumo-cli: %1: no such file, and not an http address\n")
                .arg(source));
        return std::nullopt;
    }
    // A redirect file or a web page: the same scan as the open window's.
    Settings settings;
    TerminalAnswers answers;
    answers.quiet = true;
    TerminalInteraction person(answers);
    TaskLog log;
    UdpEndpoint udp;
    HttpClient http;
    DownloadController controller(log, settings, person, udp);
    controller.setHttpClient(&http);
    MediaOpener opener(controller, log, settings, person, http);
    controller.setMediaWindowText(local ? QFileInfo(source).absoluteFilePath() : source);
    if (!opener.LoadRedirectList(local ? MediaOpener::Source::LocalFile : MediaOpener::Source::Http) ||
        opener.lastEntries().isEmpty()) {
        err(QCoreApplication::translate("LumoCli", "lumo-cli: %1: no addresses found\n").arg(source));
        return std::nullopt;
    }
    return opener.lastEntries();
}

QString PathClaims::claim(const QString &path)
{
    const QFileInfo info(path);
    QString candidate = path;
    for (int n = 2; m_claimed.contains(candidate); ++n)
        candidate = info.dir().filePath(
            QStringLiteral("%1 (%2).%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
    m_claimed.insert(candidate);
    return candidate;
}

struct MultiGet::Job
{
    enum class State
    {
        Waiting,
        Running,
        Ended,
    };
    int number = 0;
    QString url;
    State state = State::Waiting;
    GetStatus status = GetStatus::Failed;
    std::unique_ptr<TaskLog> log;
    std::unique_ptr<TerminalInteraction> person;
    std::unique_ptr<DownloadController> controller;
    std::unique_ptr<TaskReport> report;
    QTimer length;
};

MultiGet::MultiGet(Settings &settings, UdpEndpoint &udp, Options options)
    : m_settings(settings), m_udp(udp), m_options(std::move(options)), m_table(isatty(STDERR_FILENO) != 0)
{
    for (const QString &url : m_options.urls) {
        auto job = std::make_unique<Job>();
        job->number = int(m_jobs.size()) + 1;
        job->url = url;
        m_jobs.push_back(std::move(job));
    }
    m_tableTimer.setInterval(1000);
    connect(&m_tableTimer, &QTimer::timeout, this, &MultiGet::drawTable);
}

MultiGet::~MultiGet() = default;

void MultiGet::start()
{
    if (m_table)
        m_tableTimer.start();
    launchNext();
}

void MultiGet::launchNext()
{
    while (!m_stopping && m_running < qMax(1, m_options.jobs) && m_next < qsizetype(m_jobs.size()))
        launch(*m_jobs[size_t(m_next++)]);
    drawTable();
    if (m_running == 0 && (m_stopping || m_next == qsizetype(m_jobs.size())))
        Q_EMIT allEnded();
}

void MultiGet::launch(Job &job)
{
    TerminalAnswers answers = m_options.answers;
    answers.oneOfMany = true;
    answers.linePrefix = QStringLiteral("[%1] ").arg(job.number);
    answers.quiet = answers.quiet || m_table; // the table stands in for the log lines
    answers.claimPath = [this](const QString &path) { return m_paths.claim(path); };
    answers.print = [this](const QString &line) {
        const int shown = m_tableLines;
        if (m_table && shown > 0)
            err(QStringLiteral("\033[%1A\033[J").arg(shown));
        m_tableLines = 0;
        err(line + QLatin1Char('\n'));
        if (m_table && shown > 0)
            drawTable();
    };
    job.log = std::make_unique<TaskLog>();
    job.person = std::make_unique<TerminalInteraction>(answers);
    job.controller = std::make_unique<DownloadController>(*job.log, m_settings, *job.person, m_udp);
    job.controller->setMediaWindowText(job.url);
    job.report = std::make_unique<TaskReport>(m_options.json);
    job.state = Job::State::Running;
    ++m_running;
    connect(job.controller.get(), &DownloadController::finished, this, [this, &job] {
        // The message of the end may follow the signal in the same call.
        QMetaObject::invokeMethod(
            this, [this, &job] { ended(job); }, Qt::QueuedConnection);
    });
    if (!job.controller->start(job.url)) {
        job.state = Job::State::Ended;
        job.status = GetStatus::Failed;
        --m_running;
        job.report->ended(GetStatus::Failed, {}, job.person->lastMessage());
        return;
    }
    job.report->started(job.url, *job.controller);
    if (m_options.seconds > 0) {
        job.length.setSingleShot(true);
        connect(&job.length, &QTimer::timeout, this, [&job] {
            if (!job.controller->idle())
                job.controller->stop();
        });
        job.length.start(m_options.seconds * 1000);
    }
}

void MultiGet::ended(Job &job)
{
    if (job.state != Job::State::Running)
        return;
    job.state = Job::State::Ended;
    --m_running;
    const bool refused = !job.person->refusal().isEmpty() || job.controller->task().ServerRefused;
    job.status = statusOf(job.controller->lastEnd(), refused);
    const QString reason = job.status == GetStatus::Refused && !job.person->refusal().isEmpty()
                               ? job.person->refusal()
                               : job.person->lastMessage();
    if (m_table && m_tableLines > 0)
        err(QStringLiteral("\033[%1A\033[J").arg(m_tableLines));
    m_tableLines = 0;
    job.report->ended(job.status, TaskReport::tallyOf(*job.controller), reason);
    launchNext();
}

void MultiGet::stopAll()
{
    m_stopping = true;
    for (const auto &job : m_jobs) {
        if (job->state == Job::State::Running && !job->controller->idle())
            job->controller->stop();
    }
    launchNext();
}

int MultiGet::exitStatus() const
{
    int status = ExitOk;
    for (const auto &job : m_jobs) {
        if (job->state == Job::State::Waiting)
            continue; // never started: Ctrl-C came first
        const int code = cli::exitStatus(job->status);
        // The worst end decides: a failure, then a refusal, then an interruption.
        const auto rank = [](int c) {
            return c == ExitFailed ? 3 : c == ExitRefused ? 2 : c == ExitInterrupted ? 1 : 0;
        };
        if (rank(code) > rank(status))
            status = code;
    }
    return status;
}

void MultiGet::drawTable()
{
    if (!m_table)
        return;
    QString text;
    if (m_tableLines > 0)
        text += QStringLiteral("\033[%1A").arg(m_tableLines);
    int lines = 0;
    for (const auto &job : m_jobs) {
        QString state;
        switch (job->state) {
        case Job::State::Waiting:
            state = QCoreApplication::translate("LumoCli", "waiting");
            break;
        case Job::State::Ended:
            state = statusName(job->status);
            break;
        case Job::State::Running: {
            const TaskStatus &status = job->controller->status();
            const FileTally tally = TaskReport::tallyOf(*job->controller);
            state = job->controller->task().StreamType == StreamType::Live
                        ? QCoreApplication::translate("LumoCli", "live")
                        : QStringLiteral("%1%").arg(status.progress, 3);
            state += QStringLiteral("  %1  %2").arg(TaskReport::sizeText(tally.bytes), sendTimeText(status));
            break;
        }
        }
        const QString saved = job->controller ? job->controller->saveWindowText() : QString();
        text += QStringLiteral("\r\033[K[%1] %2  %3\n")
                    .arg(job->number)
                    .arg(state, FileNameOf(saved.isEmpty() ? job->url : saved));
        ++lines;
    }
    m_tableLines = lines;
    err(text);
}

} // namespace lumo::cli
