#pragma once

#include "support/RecordingPrompt.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

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
    std::unique_ptr<ScopedPrompt> m_scoped;
    std::optional<QByteArray> m_oldXdg;
    std::optional<QByteArray> m_oldTmp;
};
