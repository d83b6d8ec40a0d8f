#include "support/downloadfixture.h"

#include "support/testmedia.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace lumo::test {

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    if (done())
        return true;
    poll.start(5);
    loop.exec();
    return done();
}

QString DownloadFixture::sampleDir()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        made = true;
        makeSampleAsf(dir.path(), QStringLiteral("sample.asf"), 3);
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        QFile::copy(dir.path() + QStringLiteral("/sample.asf"), dir.path() + QStringLiteral("/sub/clip.asf"));
    }
    return dir.path();
}

void DownloadFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/config")));
    m_log = std::make_unique<TaskLog>();
    m_settings = std::make_unique<Settings>();
    m_settings->load();
    m_settings->setSoundInterval(QStringLiteral("0"));
    m_udp = std::make_unique<UdpEndpoint>();
    m_person.defaultSaveFile = outPath();
    m_controller = std::make_unique<DownloadController>(*m_log, *m_settings, m_person, *m_udp);
    QObject::connect(m_controller.get(), &DownloadController::finished, m_controller.get(),
                     [this](bool completed) {
                         m_finished = true;
                         m_completed = completed;
                     });
}

void DownloadFixture::TearDown()
{
    m_controller.reset();
    m_server.stop();
    qputenv("XDG_CONFIG_HOME", m_savedConfig);
}

bool DownloadFixture::startServer(const QStringList &args)
{
    if (!haveFfmpeg())
        return false;
    return m_server.start(QStringList{"--root", sampleDir()} + args);
}

bool DownloadFixture::start(const QString &url)
{
    m_finished = m_completed = false;
    return m_controller->start(url);
}

bool DownloadFixture::waitFinished(int timeoutMs)
{
    waitUntil([this] { return m_finished; }, timeoutMs);
    return m_finished;
}

bool DownloadFixture::download(const QString &url, int timeoutMs)
{
    if (!start(url))
        return false;
    EXPECT_TRUE(waitFinished(timeoutMs)) << "the task did not end in time";
    return m_completed;
}

QString DownloadFixture::outPath(const QString &name) const
{
    return m_dir.path() + QLatin1Char('/') + name;
}

bool DownloadFixture::logHasInOrder(const QStringList &lines) const
{
    const QStringList log = m_log->lines();
    qsizetype at = 0;
    for (const QString &wanted : lines) {
        while (at < log.size() && !log[at].startsWith(wanted))
            ++at;
        if (at == log.size()) {
            ADD_FAILURE() << "log line missing or out of order: " << wanted.toStdString() << "\nlog:\n"
                          << log.join('\n').toStdString();
            return false;
        }
        ++at;
    }
    return true;
}

} // namespace lumo::test
