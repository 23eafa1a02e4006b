#pragma once
// The chat window of a network game: the history of lines, the line being
// typed, the send button and the nudge. It only sends; what the peer sends is
// written into it by the table's message reader.
#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/multilinetextbox.h"
#include "platform/forms/textbox.h"

#include <QTimer>

class frmBatePapo : public vb::FormBase<frmBatePapo> {
public:
    frmBatePapo();

    // Controls, in their design state (the nudge first in the tab order).
    vb::CommandButton cmdAlerta;
    vb::MultiLineTextBox Chat;
    vb::TextBox Enviar;
    vb::CommandButton cmdEnviar;

    // The history's colours, and the flash that marks an arriving line or a nudge that cannot go.
    static inline const QColor HistoryColour{0x1E, 0x1E, 0x1E};
    static inline const QColor FlashColour{0x80, 0x00, 0x00};

    // Appends one line to the history: the player's own, or the peer's.
    void AddLine(const QString& line);
    void AddPeerLine(const QString& line);
    // The rest of the peer's last line, that came in a later read.
    void ContinuePeerLine(const QString& text);
    // The history flashes red for a moment, with the chat sound; the colour
    // comes back from a timer, so nothing waits here. A line arriving meanwhile
    // only makes the flash last.
    void Flash();
    // The peer's nudge shakes the window; a nudge that arrives while it still
    // shakes is part of that shake.
    void Shake();

    // The history keeps its last lines up to this many characters.
    static constexpr int HistoryTail = 65536;

    // Handlers.
    void cmdEnviar_Click();
    void cmdAlerta_Click();
    void Enviar_KeyPress(int& KeyAscii);

private:
    QTimer flashEnd_;
    QTimer shakeEnd_;
    bool peerLineOpen_ = false; // the history's last line is the peer's
};
