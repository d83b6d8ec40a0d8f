#include "testclient.h"

#include <gtest/gtest.h>
#include <QTcpServer>

using namespace servertest;

namespace {
const QString serverBin = QStringLiteral(LUMO_MMS_SERVER_BIN);
}

TEST(ServerCommandLine, HelpDocumentsEveryOption)
{
    const RunResult r = run(serverBin, {"--help"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    for (const char *option : {"--listen",
                               "--root",
                               "--exclusive-video",
                               "-v",
                               "--live",
                               "--live-seconds",
                               "--pace",
                               "--rate",
                               "--ping-every",
                               "--auth",
                               "--realm",
                               "--error-on",
                               "--drop-after",
                               "--close-after-end",
                               "--corrupt-after",
                               "--drip",
                               "--udp-drop-every",
                               "--synthetic",
                               "--no-mmst",
                               "--http-status",
                               "--http-redirect",
                               "--header-chunk",
                               "--stream-change-after",
                               "--stream-change-header",
                               "--metadata-every",
                               "--help"})
        EXPECT_TRUE(r.out.contains(option)) << option;
}

TEST(ServerCommandLine, HelpFollowsTheLanguage)
{
    const QByteArray saved = qgetenv("LUMO_LANG");
    qputenv("LUMO_LANG", "zh");
    const RunResult chinese = run(serverBin, {"--help"});
    qputenv("LUMO_LANG", "en");
    const RunResult english = run(serverBin, {"--help"});
    qputenv("LUMO_LANG", saved);
    ASSERT_TRUE(chinese.finished && english.finished);
    EXPECT_TRUE(chinese.out.contains("显示本帮助并退出")) << chinese.out.toStdString();
    EXPECT_TRUE(chinese.out.contains("--synthetic <NAME:BYTES:PACKETSIZE>"));
    // Qt's own part of the help is in Chinese too.
    EXPECT_FALSE(chinese.out.contains("Options:"));
    EXPECT_TRUE(english.out.contains("Show this help and exit."));
    EXPECT_TRUE(english.out.contains("Options:"));
}

TEST(ServerCommandLine, BadValuesAreRefusedWithAMessage)
{
    const QStringList bad[] = {
        {"--pace", "fast"},
        {"--listen", "nowhere"},
        {"--listen", "127.0.0.1:70000"},
        {"--rate", "0"},
        {"--rate", "-5"},
        {"--ping-every", "often"},
        {"--auth", "nocolon"},
        {"--error-on", "0x05"},
        {"--error-on", "0x44:0xC00D001A"},
        {"--error-on", "0x05:zz"},
        {"--drop-after", "x"},
        {"--corrupt-after", "-1"},
        {"--udp-drop-every", "1"},
        {"--live-seconds", "soon"},
        {"--synthetic", "a:100"},
        {"--synthetic", "a:1000000:100"},
        {"--synthetic", "a:1000000:70000"},
        {"--no-such-option"},
        {"stray"},
        {"--root", "/definitely/not/here"},
        {"--http-status", "200"},
        {"--http-status", "600"},
        {"--http-redirect", "/nowhere"},
        {"--http-redirect", "=/a.asf"},
        {"--header-chunk", "0"},
        {"--header-chunk", "65528"},
        {"--metadata-every", "0"},
        {"--stream-change-header", Media::sample()},
        {"--stream-change-after", "3", "--stream-change-header", "/definitely/not/here.asf"},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const bool listens = args.contains("--listen");
        const RunResult r =
            run(serverBin, listens ? args : args + QStringList{"--listen", "127.0.0.1:0"}, 20000);
        ASSERT_TRUE(r.finished);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.startsWith("lumo-mms-server: ")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(ServerCommandLine, BusyPortIsAClearError)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const RunResult r =
        run(serverBin, {"--listen", QStringLiteral("127.0.0.1:%1").arg(occupant.serverPort())}, 20000);
    ASSERT_TRUE(r.finished);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("cannot listen on 127.0.0.1")) << r.err.toStdString();
}

TEST(ServerCommandLine, TerminateSignalEndsItCleanly)
{
    ServerProcess server;
    ASSERT_TRUE(server.start({}));
    ScriptedClient client;
    ASSERT_TRUE(client.connectTo(server.port()));
    server.stop();
    EXPECT_EQ(server.exitCode(), 0);
    EXPECT_TRUE(client.waitClosed());
}
