#pragma once

#include "control/downloadcontroller.h"
#include "mms/udpendpoint.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/scriptedperson.h"
#include "support/serverprocess.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace lumo::test {

// Skips a test without ffmpeg (it makes the media), else starts the fixture's server with these
// arguments after its --root.
#define REQUIRE_SERVER(...)                                                                                  \
    if (!haveFfmpeg())                                                                                       \
        GTEST_SKIP() << "ffmpeg is needed to make the test media";                                           \
    ASSERT_TRUE(startServer(QStringList(__VA_ARGS__)))

// Runs the event loop until `done` holds or the time is up; returns `done()`.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// A download controller against lumo-mms-server over real loopback sockets, with a scripted
// person and settings in a temporary configuration folder.
class DownloadFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A media folder with an ffmpeg-made sample (made once per test binary run).
    static QString sampleDir();
    static QString samplePath() { return sampleDir() + QStringLiteral("/sample.asf"); }

    bool startServer(const QStringList &args);
    // Starts the task and waits for its end; returns whether it completed.
    bool download(const QString &url, int timeoutMs = 60000);
    // Starts the task without waiting.
    bool start(const QString &url);
    bool waitFinished(int timeoutMs = 60000);

    QString outPath(const QString &name = QStringLiteral("out.asf")) const;
    bool logHasInOrder(const QStringList &lines) const;

    QTemporaryDir m_dir;
    QByteArray m_savedConfig;
    ScriptedPerson m_person;
    std::unique_ptr<TaskLog> m_log;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<UdpEndpoint> m_udp;
    std::unique_ptr<DownloadController> m_controller;
    ServerProcess m_server;
    bool m_finished = false;
    bool m_completed = false;
};

} // namespace lumo::test
