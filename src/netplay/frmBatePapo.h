#pragma once
// The chat window of a network game: the history of lines, the line being
// typed, the send button and the nudge. It only sends; what the peer sends is
// written into it by the table's message reader.
#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/multilinetextbox.h"
#include "platform/forms/textbox.h"

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

    // Appends one line to the history.
    void AddLine(const QString& line);
    // The history flashes red for a moment, with the chat sound.
    void Flash();

    // Handlers.
    void cmdEnviar_Click();
    void cmdAlerta_Click();
    void Enviar_KeyPress(int& KeyAscii);
};
