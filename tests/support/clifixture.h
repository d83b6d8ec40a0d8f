#pragma once

#include "support/testmedia.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

namespace lumo::test {

// A test folder with an ffmpeg-made sample.asf, and lumo-cli run in it with settings of its own.
class CliFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is needed to make the test media";
        ASSERT_TRUE(dir.isValid());
        sample = makeSampleAsf(dir.path(), "sample.asf", 3);
        ASSERT_FALSE(sample.isEmpty());
    }

    // Starts lumo-cli (through bash when `shellPrefix` is given, e.g. a ulimit); stdout and
    // stderr are merged unless `separateChannels` is set.
    void startCli(QProcess &process, const QStringList &args, const QString &shellPrefix = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("LUMO_LANG", language);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.setProcessChannelMode(separateChannels ? QProcess::SeparateChannels
                                                       : QProcess::MergedChannels);
        if (shellPrefix.isEmpty()) {
            process.start(LUMO_CLI_BIN, args);
            return;
        }
        QString command = shellPrefix + " exec '" LUMO_CLI_BIN "'";
        for (const QString &a : args)
            command += " '" + a + "'";
        process.start("bash", {"-c", command});
    }

    // Runs lumo-cli to its end (bounded); its output lands in `output` (stderr in `errors` when
    // the channels are separate). Returns its exit code, -1 when it crashed or did not end.
    int run(const QStringList &args, const QString &shellPrefix = {})
    {
        QProcess process;
        startCli(process, args, shellPrefix);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished(5000);
            return -1;
        }
        output = QString::fromUtf8(process.readAllStandardOutput());
        errors = separateChannels ? QString::fromUtf8(process.readAllStandardError()) : QString();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir dir;
    QString sample;
    QString output;
    QString language = QStringLiteral("zh"); // LUMO_LANG of the runs
    QString errors;
    bool separateChannels = false;
};

} // namespace lumo::test
