#pragma once

#include "support/RecordingPrompt.h"
#include "support/TestFiles.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Each test of the window, the dispatch and the headless run gets its own settings store and
// temporary directory (also for the programs it starts), and a recording prompt in place of dialogs.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString tempDir() const { return m_root.path() + QStringLiteral("/tmp"); }
    QString logPath() const { return tempDir() + QStringLiteral("/LOVARSLog.txt"); }

    RecordingPrompt m_prompt;

private:
    QTemporaryDir m_root;
    const ScopedEnv m_xdg{"XDG_CONFIG_HOME", m_root.path() + QStringLiteral("/config")};
    const ScopedEnv m_tmp{"TMPDIR", tempDir()};
    const ScopedPrompt m_scoped{m_prompt};
};
