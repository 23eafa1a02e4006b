#pragma once
// What the tests of the options dialog and the about box share: a fresh match
// state, a settings store of the test's own, message boxes and links to the
// desktop and help requests recorded instead of shown, and runs of a test beside the help file.
#include "support/qtprint.h"
#include "game/modGame.h"
#include "platform/forms/control.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/help.h"
#include "platform/registry.h"
#include "platform/shellopen.h"
#include "shell/frmOption.h"
#include "shell/frmSobre.h"
#include "shell/modReg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <unistd.h>
#include <vector>

namespace dialogtest {

// The player's click: only on a control the player can reach.
inline void Click(vb::Control& control)
{
    ASSERT_TRUE(control.isEnabled()) << "a disabled control takes no click";
    control.ClickWith();
}

// Set in the run of a test beside the help file.
inline bool BesideHelp()
{
    return qEnvironmentVariableIsSet("MIRVO_TEST_BESIDE_HELP");
}

// The program looks for the help file beside itself, and every test program
// shares one folder. So that no other test sees it there, the current test is
// run again by a link to this program in a folder of its own, beside a copy of
// the help file; the test passes when that run passes.
inline void RunBesideHelp()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QTemporaryDir dir(QStringLiteral(BINARY_DIR "/tests/beside-help-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString self = QCoreApplication::applicationFilePath();
    const QString program = dir.filePath(QFileInfo(self).fileName());
    if (::link(QFile::encodeName(self).constData(), QFile::encodeName(program).constData()) != 0) {
        ASSERT_TRUE(QFile::copy(self, program));
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(BINARY_DIR "/Ajuda.chm"), dir.filePath("Ajuda.chm")))
        << "the help file is built with the tests";
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIRVO_TEST_BESIDE_HELP", "1");
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(program, {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::SetPaceFactor(0);
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        Fresh();
        previous_ = vb::SetMsgBoxResponder([this](const vb::MsgBoxRequest& r) {
            boxes.push_back(r);
            return int(vb::vbOK);
        });
        shellopen::SetRecorder([this](const QString& target) { opened.push_back(target); });
        help::SetRecorder([this](const QString& file, const QString& topic) { helpAsked.emplace_back(file, topic); });
    }

    void TearDown() override
    {
        frmOption::UnloadIfLoaded();
        frmSobre::UnloadIfLoaded();
        help::SetRecorder({});
        shellopen::SetRecorder({});
        vb::SetMsgBoxResponder(previous_);
        qputenv("XDG_CONFIG_HOME", savedConfig_);
        Fresh();
    }

    // The options as a first run reads them: sound on, the full deck, the new
    // manilhas, a game against the computer.
    static void Fresh()
    {
        Hand = {};
        Hand.SoundOn = Hand.DirtyDeck = Hand.NewManilha = true;
        IsServer = OptionsChanged = false;
    }

    static std::optional<QString> Stored(const char* name)
    {
        const auto bytes = registry::QueryValue(registry::Hive::LocalMachine, SettingsKey, name);
        return bytes ? std::optional<QString>(QString::fromLatin1(*bytes)) : std::nullopt;
    }

    std::vector<vb::MsgBoxRequest> boxes;
    std::vector<QString> opened;
    // The help file and topic of each help request; an empty topic is the start page.
    std::vector<std::pair<QString, QString>> helpAsked;

private:
    QTemporaryDir config_;
    QByteArray savedConfig_;
    vb::MsgBoxResponder previous_;
};

} // namespace dialogtest
