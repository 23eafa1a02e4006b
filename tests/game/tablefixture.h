#pragma once
// A fresh match on the table window for each test: no sound, no waiting, the
// program's ending and message boxes answered by the test.
#include "game/frmVorla.h"
#include "game/modGame.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/pace.h"
#include "platform/program.h"
#include "shell/modFunoes.h"

#include <gtest/gtest.h>

#include <vector>

class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::SetPaceFactor(0);
        Fresh();
        previousResponder_ = vb::SetMsgBoxResponder([this](const vb::MsgBoxRequest& r) {
            boxes.push_back(r);
            return answer;
        });
        previousEnd_ = vb::SetEndHandler([this] { ended = true; });
    }

    void TearDown() override
    {
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
        Players = {};
        Hand = {};
        OptionsChanged = IsServer = StopAnimation = false;
        ServerIP.clear();
        PopupMessage.clear();
        CardBack = 1;
        Hand.DirtyDeck = true;
        Hand.NewManilha = true;
        ResetMatch();
        Players(1).Name = "Ana";
    }

    frmVorla& table() { return frmVorla::Get(); }

    std::vector<vb::MsgBoxRequest> boxes;
    int answer = vb::vbYes;
    bool ended = false;

private:
    vb::MsgBoxResponder previousResponder_;
    std::function<void()> previousEnd_;
};
