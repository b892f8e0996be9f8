#pragma once

#include "support/RecordingPrompt.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Each test of the window and the dispatch gets its own settings store and temporary directory,
// and a recording prompt in place of dialogs.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString tempDir() const;
    QString logPath() const;
    QString configDir() const;

    RecordingPrompt m_prompt;

private:
    QTemporaryDir m_root;
    std::unique_ptr<ScopedPrompt> m_scoped;
    QByteArray m_oldXdg;
    QByteArray m_oldTmp;
    bool m_hadXdg = false;
    bool m_hadTmp = false;
};
