#pragma once
// Message boxes with Portuguese buttons ("Sim", "Não", "OK"). A box without a
// title of its own shows the application's current title. A box belongs to the
// window active when it opens and stays above it. Tests install a
// responder that answers boxes instead of the player.
#include <QString>
#include <functional>

namespace vb {

enum MsgBoxStyle {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult { vbOK = 1, vbYes = 6, vbNo = 7 };

int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString());

struct MsgBoxRequest {
    QString prompt;
    int style;
    QString title; // the title shown, the application title when none was given
    // True once CloseMsgBoxes has closed the box (a responder that waits ends then).
    std::function<bool()> Closed;
};

// Closes every open box as its escape button does ("Não", "OK").
void CloseMsgBoxes();
using MsgBoxResponder = std::function<int(const MsgBoxRequest&)>;

// Installs a responder (an empty one restores the real boxes); returns the previous one.
MsgBoxResponder SetMsgBoxResponder(MsgBoxResponder responder);

// The system's warning sound.
void Beep();

} // namespace vb
