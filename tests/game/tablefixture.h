#pragma once
// A fresh match on the table window for each test: no sound, no waiting, the
// program's ending and message boxes answered by the test.
#include "gamefixture.h"

#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/program.h"
#include "shell/modFunoes.h"

#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::SetPaceFactor(0);
        Fresh();
        previousResponder_ = vb::SetMsgBoxResponder([this](const vb::MsgBoxRequest& r) {
            boxes.push_back(r);
            if (answers.empty())
                return answer;
            const int next = answers.front();
            answers.erase(answers.begin());
            return next;
        });
        previousEnd_ = vb::SetEndHandler([this] { ended = true; });
    }

    void TearDown() override
    {
        cutter_.Stop();
        // Whatever still waits (a cut, a flight) ends as when the peer leaves.
        StopAnimation = true;
        ResetMatch();
        vb::DoEvents();
        if (frmVorla::Loaded())
            ClearTable();
        vb::SetMsgBoxResponder(previousResponder_);
        vb::SetEndHandler(previousEnd_);
        Fresh();
    }

    static void Fresh()
    {
        gametest::FreshMatch();
        Hand.NewManilha = true;
    }

    frmVorla& table() { return frmVorla::Get(); }

    // Cuts the deck whenever the table asks for it, for as long as the test runs.
    void CutWhenAsked()
    {
        cutter_.Start([this] {
            if (frmVorla::Loaded() && table().lblbaralho.Visible) {
                ++cutsMade;
                table().picCarta(7).ClickWith();
            }
        });
    }
    int cutsMade = 0;

    // The message line's texts, in the order they were shown, while step runs.
    QStringList shownDuring(const std::function<void()>& step)
    {
        QStringList shown;
        table().lblMens.Caption = "";
        gametest::Looker looker;
        looker.Start([&] {
            const QString now = table().lblMens.Caption;
            if (!now.isEmpty() && (shown.isEmpty() || shown.back() != now))
                shown << now;
        });
        step();
        looker.Stop();
        return shown;
    }

    std::vector<vb::MsgBoxRequest> boxes;
    int answer = vb::vbYes;
    std::vector<int> answers; // given first, one per box, before `answer`
    bool ended = false;

private:
    gametest::Looker cutter_;
    vb::MsgBoxResponder previousResponder_;
    std::function<void()> previousEnd_;
};
