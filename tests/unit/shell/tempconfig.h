#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QTemporaryDir>

namespace lumo::test {

// Points XDG_CONFIG_HOME at a fresh folder for each test, so no test sees the user's
// settings or another test's, and puts the old value back afterwards.
class TempConfigTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_hadXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_oldXdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }

    void TearDown() override
    {
        if (m_hadXdg)
            qputenv("XDG_CONFIG_HOME", m_oldXdg);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString configDir() const { return m_dir.path(); }
    QString iniPath() const { return m_dir.path() + QStringLiteral("/Lumo/Lumo downloader/1.8.0.ini"); }

    QTemporaryDir m_dir;

private:
    bool m_hadXdg = false;
    QByteArray m_oldXdg;
};

} // namespace lumo::test
