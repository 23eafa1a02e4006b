#pragma once
// The host's waiting window ("Jogos Online"): shown modally over the table
// while the game port listens for a guest. It lists the host's addresses,
// sweeps a bead animation, and answers searching guests on port 1244 with the
// player's name. The guest's arrival or "Cancelar" closes it.
#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/listbox.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/shape.h"
#include "platform/forms/timer.h"

#include <memory>

class CNetSocket;

class frmListen : public vb::FormBase<frmListen> {
public:
    frmListen();

    // Controls, in their design state.
    vb::CommandButton cmdCancelar;
    vb::ListBox List1;
    vb::Label Label1;
    vb::Shape Shape1;
    vb::PictureBox ProgressBar;
    vb::Image ImgGo;
    vb::Image imgLeft;
    vb::Image imgRight;
    vb::Label Label4;
    vb::Timer AnimationTimer;

    // The locator socket on the search port.
    std::shared_ptr<CNetSocket> Localizador;

    // Handlers.
    void Form_Activate() override;
    void Form_Unload(int& Cancel) override;
    void AnimationTimer_Timer();
    void Localizador_ConnectionRequest(std::int32_t requestID);
    void Localizador_CloseSck();
    void cmdCancelar_Click();

    // The text between two marks, looked for without regard to case; empty when either is missing.
    static QString GetTextBetween(const QString& text, const QString& startMark, const QString& endMark);

private:
    void placeControls();
    void listenForSearches();
    // The second line of the list: for now the second local address; the
    // external address from the address-echo page is to come in its place
    // when that one is no valid address.
    QString secondAddress();

    bool activated_ = false;
};
